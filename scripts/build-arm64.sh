#!/usr/bin/env bash
# Cross-builds Tesk for 64-bit ARM Linux (aarch64-linux-gnu): tesk-render, the LV2
# bundle and the tests, into DIR. Installs what is missing first (Debian's cross
# toolchain, qemu-user and the arm64 libraries through multiarch), as
# scripts/bootstrap.sh does for the native build.
#
# Usage: scripts/build-arm64.sh DIR [CMAKE-ARGS...] [-- NINJA-TARGETS...]
#   scripts/build-arm64.sh build-arm64
#   scripts/build-arm64.sh build-arm64-clang -DTESK_ARM64_COMPILER=clang
#   scripts/build-arm64.sh build-arm64 -- tesk-render
# Then: scripts/run-arm64.sh build-arm64/tools/tesk-render --demo out/demo.wav
#       ctest --test-dir build-arm64 -LE 'host|display'   (the tests, under qemu)
set -euo pipefail
cd "$(dirname "$0")/.."

if (($# == 0)); then
  echo "usage: scripts/build-arm64.sh DIR [CMAKE-ARGS...] [-- NINJA-TARGETS...]" >&2
  exit 2
fi
dir=$1
shift
cmake_args=()
targets=()
while (($#)); do
  if [[ $1 == -- ]]; then
    shift
    targets=("$@")
    break
  fi
  cmake_args+=("$1")
  shift
done

scripts/bootstrap.sh

# The arm64 libraries must be the same versions as the native ones already
# installed (multiarch packages of one name share their files), so apt installs
# them from the same package lists.
NATIVE=(crossbuild-essential-arm64 qemu-user)
ARM64=(libc6-dev libstdc++-12-dev libsndfile1-dev libpng-dev zlib1g-dev libfreetype-dev libfontconfig-dev
  libx11-dev libxext-dev libxtst-dev libgtest-dev libgmock-dev lv2-dev liblilv-dev)

installed() { [[ "$(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true)" == "install ok installed" ]]; }
missing=()
for p in "${NATIVE[@]}"; do installed "$p" || missing+=("$p"); done
for p in "${ARM64[@]}"; do installed "$p:arm64" || missing+=("$p:arm64"); done

if ((${#missing[@]})); then
  echo "build-arm64: installing ${missing[*]}" >&2
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then
    if command -v sudo >/dev/null; then SUDO="sudo"; else
      echo "build-arm64: missing packages (${missing[*]}) and not root; install them with apt-get as root" >&2
      exit 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  if ! dpkg --print-foreign-architectures | grep -qx arm64; then $SUDO dpkg --add-architecture arm64; fi
  if ! $SUDO apt-get update -qq >&2 || ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2; then
    echo "build-arm64: apt-get could not install: ${missing[*]} (check the network and apt sources)" >&2
    exit 1
  fi
fi

cmake -S . -B "$dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-aarch64-linux-gnu.cmake" "${cmake_args[@]}"
cmake --build "$dir" -j "$(nproc)" ${targets[@]:+--target "${targets[@]}"}
