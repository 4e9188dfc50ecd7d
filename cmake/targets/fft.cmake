# Elementary functions with the same results on every platform: the FFT's tables,
# the windows, the engine's rotations and the sensitivity measure use them, so no
# output sample depends on the platform's maths library.
add_library(portable_math STATIC ${CMAKE_SOURCE_DIR}/PortableMath.cpp)
target_include_directories(portable_math PUBLIC ${CMAKE_SOURCE_DIR})

# FFT package: real, complex, cosine and sine transforms and the analysis window.
# The transform kernels are built once per instruction set (fft4g_kernels_*.cpp,
# each selecting its set with a target pragma, never FMA) and chosen at run
# time; see fft4g_kernels.h. On other processors the x86-64 kernel files
# compile to nothing and only the portable path exists.
set(TESK_FFT_SOURCES
  ${CMAKE_SOURCE_DIR}/fft4g.cpp
  ${CMAKE_SOURCE_DIR}/fft4g_dispatch.cpp
  ${CMAKE_SOURCE_DIR}/fft4g_kernels_portable.cpp
  ${CMAKE_SOURCE_DIR}/fft4g_kernels_sse2.cpp
  ${CMAKE_SOURCE_DIR}/fft4g_kernels_avx2.cpp
  ${CMAKE_SOURCE_DIR}/fft4g_kernels_avx512.cpp
)
add_library(fft STATIC ${TESK_FFT_SOURCES})
target_include_directories(fft PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(fft PUBLIC portable_math)

# For the tests: the library as processors other than x86-64 get it.
if(TESK_TESTS)
  add_library(fft_portable_only STATIC EXCLUDE_FROM_ALL ${TESK_FFT_SOURCES})
  target_include_directories(fft_portable_only PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(fft_portable_only PUBLIC portable_math)
  target_compile_definitions(fft_portable_only PUBLIC TESK_FFT_NO_X86_KERNELS)
endif()
