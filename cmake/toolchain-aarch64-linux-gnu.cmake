# Cross build for 64-bit ARM Linux (aarch64-linux-gnu) on a Debian x86-64 machine:
# Debian's cross compilers (crossbuild-essential-arm64) and the arm64 libraries
# installed beside the native ones through multiarch (libsndfile1-dev:arm64, ...).
# scripts/build-arm64.sh installs all of it and configures with this file.
#
#   cmake -S . -B build-arm64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-aarch64-linux-gnu.cmake
#
# -DTESK_ARM64_COMPILER=clang builds with clang --target=aarch64-linux-gnu against
# the same headers and libraries instead of gcc.
#
# Programs built here run under qemu-user: CTest runs the tests through
# scripts/run-arm64.sh (CMAKE_CROSSCOMPILING_EMULATOR), and so do build steps that
# run a program of the build.

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(TESK_ARM64_COMPILER "gcc" CACHE STRING "Compiler of the arm64 build: gcc or clang")
if(TESK_ARM64_COMPILER STREQUAL "clang")
  set(CMAKE_C_COMPILER clang)
  set(CMAKE_CXX_COMPILER clang++)
  set(CMAKE_C_COMPILER_TARGET aarch64-linux-gnu)
  set(CMAKE_CXX_COMPILER_TARGET aarch64-linux-gnu)
else()
  set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
  set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
endif()

# Headers and libraries of the target come from the multiarch folders
# (/usr/include, /usr/lib/aarch64-linux-gnu); programs run at build time are the
# build machine's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_FIND_ROOT_PATH /)
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config CACHE FILEPATH "pkg-config of the target")

get_filename_component(TESK_SOURCE_ROOT "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${TESK_SOURCE_ROOT}/scripts/run-arm64.sh" CACHE FILEPATH
    "Runs an arm64 program on this machine")
# GoogleTest cases are listed when CTest runs, not after each link: an emulated listing
# per test program would slow every build.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
