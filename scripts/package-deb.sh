#!/usr/bin/env bash
# Builds Tesk's Debian packages from the working tree (committed or not) and leaves the
# .deb files in OUTDIR: tesk-lv2 (the LV2 bundle), tesk-render (the renderer, the
# component it opens and its manual page), and their debug symbols (*-dbgsym_*.deb).
#
# Usage: scripts/package-deb.sh [--arch arm64] OUTDIR
#
# --arch arm64 cross-builds the same packages for 64-bit ARM (dpkg-buildpackage -aarm64
# with the build profile `cross`): Debian's cross compilers, the arm64 libraries through
# multiarch and qemu-user, which runs the program that writes the bundle's Turtle files.
#
# Installs the build dependencies debian/control names when some are missing (apt-get,
# through sudo when not root; for arm64 it first adds the architecture to dpkg), as
# scripts/bootstrap.sh does. The tree is copied into a
# build folder of its own and built there, so the working tree gets no build products.
# The version is the project's (CMakeLists.txt); the dates in the packages are those of
# the last commit (SOURCE_DATE_EPOCH), so two builds of one commit give the same bytes,
# wherever they are built (the compiler maps the build folder's path away).
#
# The build folder is the same every time (TESK_DEB_BUILD_ROOT, default
# $TMPDIR/tesk-deb-<uid>, one build at a time), so ccache finds what an earlier build
# compiled without rewriting paths: its output is then the compiler's own, the same as
# a build without ccache. Set TESK_DEB_KEEP=1 to keep the build folder afterwards.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
ARCH=""
if [[ $# -ge 1 && "$1" == --arch ]]; then
  ARCH=${2:-}
  shift 2 || true
  if [[ "$ARCH" == "$(dpkg --print-architecture)" ]]; then ARCH=""; elif [[ "$ARCH" != arm64 ]]; then
    echo "package-deb: packages are built for this machine or cross-built for arm64, not for '$ARCH'" >&2
    exit 2
  fi
fi
if [[ $# -ne 1 || -z "$1" ]]; then
  echo "usage: scripts/package-deb.sh [--arch arm64] OUTDIR" >&2
  exit 2
fi
# The options dpkg's tools and apt-get take for a cross build.
CROSS=()
[[ -n "$ARCH" ]] && CROSS=(-a "$ARCH" -P cross)
mkdir -p "$1"
OUT=$(cd "$1" && pwd)

VERSION=$(sed -n 's/^project(Tesk VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
[[ -n "$VERSION" ]] || {
  echo "package-deb: no version in CMakeLists.txt's project()" >&2
  exit 1
}
if git -C "$ROOT" rev-parse --verify -q HEAD >/dev/null; then
  export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$ROOT" log -1 --format=%ct)}
  COMMIT=$(git -C "$ROOT" rev-parse --short=12 HEAD)
else
  export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-0}
  COMMIT="a tree without history"
fi

BUILD_ROOT=${TESK_DEB_BUILD_ROOT:-${TMPDIR:-/tmp}/tesk-deb-$(id -u)}
mkdir -p "$BUILD_ROOT"
BUILD_ROOT=$(cd "$BUILD_ROOT" && pwd)
exec 9>"$BUILD_ROOT/.lock"
flock 9
SRC="$BUILD_ROOT/tesk-$VERSION"
# What dpkg-buildpackage leaves beside the tree, and the tree itself.
clean() { rm -rf "$SRC" "$BUILD_ROOT"/*.deb "$BUILD_ROOT"/*.ddeb "$BUILD_ROOT"/*.changes "$BUILD_ROOT"/*.buildinfo; }
clean
if [[ "${TESK_DEB_KEEP:-0}" == 1 ]]; then
  echo "package-deb: building in $SRC" >&2
else
  trap clean EXIT
fi
mkdir "$SRC"

# The files git knows or would add (tracked and untracked, less the ignored ones and
# those deleted in the working tree), as they stand in the working tree.
(
  cd "$ROOT"
  git ls-files -z --cached --others --exclude-standard |
    while IFS= read -r -d '' f; do [[ -e "$f" || -L "$f" ]] && printf '%s\0' "$f"; done |
    tar --null --no-recursion -T - -cf -
) | tar -xf - -C "$SRC"

# The one version, and the date of the last commit.
cat >"$SRC/debian/changelog" <<EOF
tesk ($VERSION) unstable; urgency=medium

  * Tesk $VERSION, built from commit $COMMIT.

 -- $(sed -n 's/^Maintainer: //p' "$SRC/debian/control")  $(LC_ALL=C date -u -R -d "@$SOURCE_DATE_EPOCH")
EOF

# Build dependencies.
if ! command -v dpkg-checkbuilddeps >/dev/null || ! (cd "$SRC" && dpkg-checkbuilddeps "${CROSS[@]}") 2>/dev/null; then
  SUDO=""
  if [[ $(id -u) -ne 0 ]]; then
    if command -v sudo >/dev/null; then SUDO="sudo"; else
      echo "package-deb: build dependencies are missing and this is not root; as root run: apt-get build-dep $SRC" >&2
      exit 1
    fi
  fi
  echo "package-deb: installing the build dependencies" >&2
  export DEBIAN_FRONTEND=noninteractive
  if [[ -n "$ARCH" ]] && ! dpkg --print-foreign-architectures | grep -qx "$ARCH"; then
    $SUDO dpkg --add-architecture "$ARCH"
  fi
  $SUDO apt-get update -qq >&2
  $SUDO apt-get install -y -qq --no-install-recommends dpkg-dev >&2
  $SUDO apt-get build-dep -y -qq --no-install-recommends "${CROSS[@]}" "$SRC" >&2
fi

# ccache keeps the user's cache (debhelper points HOME at a scratch folder). It must not
# rewrite paths (CCACHE_BASEDIR): the compiler would see other file names than without
# it, and write them into the debug information.
if command -v ccache >/dev/null; then
  CCACHE_DIR=${CCACHE_DIR:-$(ccache -k cache_dir)}
  export CCACHE_DIR
fi
unset CCACHE_BASEDIR
export DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}"
export LC_ALL=C.UTF-8 TZ=UTC
umask 022
(cd "$SRC" && dpkg-buildpackage -b -us -uc ${ARCH:+"--host-arch=$ARCH" --build-profiles=cross} >"$BUILD_ROOT/build.log" 2>&1) || {
  tail -n 60 "$BUILD_ROOT/build.log" >&2
  echo "package-deb: the package build failed (the log's end is above)" >&2
  exit 1
}

shopt -s nullglob
built=("$BUILD_ROOT"/*.deb "$BUILD_ROOT"/*.ddeb)
((${#built[@]} > 0)) || {
  echo "package-deb: the build left no package" >&2
  exit 1
}
cp "${built[@]}" "$OUT/"
for f in "${built[@]}"; do echo "$OUT/$(basename "$f")"; done
