# FFT package: real, complex, cosine and sine transforms and the analysis window.
add_library(fft STATIC
  fft4g.cpp
)
target_include_directories(fft PUBLIC ${CMAKE_SOURCE_DIR})
