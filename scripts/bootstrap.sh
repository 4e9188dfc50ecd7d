#!/usr/bin/env bash
# Installs every Debian package Tesk needs to build, test and benchmark.
# Quick when everything is present: it only calls apt-get when something is missing.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config ccache clang-format
  libpng-dev zlib1g-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  libx11-dev libxext-dev libxtst-dev xvfb
  libsndfile1-dev
  libgtest-dev libgmock-dev
  clang libfuzzer-14-dev valgrind libgnustep-gui-dev python3
  libbenchmark-dev libfftw3-dev linux-perf
  lv2-dev liblilv-dev
  lilv-utils sordi serdi lv2file jalv jackd2 ardour
  lsp-plugins-lv2 sndfile-tools
  gstreamer1.0-tools gstreamer1.0-plugins-base gstreamer1.0-plugins-bad
  debhelper dpkg-dev fakeroot lintian
  sox
)

# A package counts as present when it is installed for this machine's architecture (or
# for all): the arm64 cross build installs the same libraries for arm64 beside them.
native=$(dpkg --print-architecture)
missing=()
for p in "${PACKAGES[@]}"; do
  installed=$(dpkg-query -W -f='${Status} ${Architecture}\n' "$p" 2>/dev/null || true)
  grep -qxE "install ok installed ($native|all)" <<<"$installed" || missing+=("$p")
done

if ((${#missing[@]} == 0)); then
  exit 0
fi

echo "bootstrap: installing ${missing[*]}" >&2
SUDO=""
if [[ $(id -u) -ne 0 ]]; then
  if command -v sudo >/dev/null; then SUDO="sudo"; else
    echo "bootstrap: missing packages (${missing[*]}) and not root; install them with apt-get as root" >&2
    exit 1
  fi
fi
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get update -qq >&2 || ! $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2; then
  echo "bootstrap: apt-get could not install: ${missing[*]} (check the network and apt sources)" >&2
  exit 1
fi
