# FFT package: real, complex, cosine and sine transforms and the analysis window.
# The transform kernels are built once per instruction set (fft4g_kernels_*.cpp)
# and chosen at run time; see fft4g_kernels.h.
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

# The wider kernels get their instruction sets per file (never FMA: every path
# must round exactly like the others). On other processors these files compile
# to nothing and only the portable path exists.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set_source_files_properties(${CMAKE_SOURCE_DIR}/fft4g_kernels_avx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2")
  set_source_files_properties(${CMAKE_SOURCE_DIR}/fft4g_kernels_avx512.cpp PROPERTIES COMPILE_OPTIONS "-mavx512f")
endif()

# For the tests: the library as processors other than x86-64 get it.
if(TESK_TESTS)
  add_library(fft_portable_only STATIC EXCLUDE_FROM_ALL ${TESK_FFT_SOURCES})
  target_include_directories(fft_portable_only PUBLIC ${CMAKE_SOURCE_DIR})
  target_compile_definitions(fft_portable_only PUBLIC TESK_FFT_NO_X86_KERNELS)
endif()
