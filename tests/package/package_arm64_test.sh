#!/usr/bin/env bash
# The arm64 Debian packages, cross-built on this machine, without installing them:
#  1. scripts/package-deb.sh --arch arm64 builds tesk-lv2 and tesk-render for arm64;
#  2. lintian finds no error and no warning in any of them;
#  3. unpacked into a scratch folder (dpkg-deb -x), they hold arm64 code only, the
#     bundle's Turtle files are this build's, and the packaged tesk-render, run under
#     qemu-user, renders the demo and its editor picture byte for byte as this build's
#     tesk-render does (every output sample is computed the same way on both), and its
#     manual page matches its --help.
#
# Usage: package_arm64_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
SOURCE=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/tesk-package-arm64-test.XXXXXX")
trap 'rm -rf "$SCRATCH"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
step() { echo "---- $*"; }

for program in dpkg-deb lintian readelf python3; do
  command -v "$program" >/dev/null || {
    echo "FAIL: $program is missing (scripts/bootstrap.sh installs it)"
    exit 1
  }
done

step "cross-build the packages for arm64"
# A build folder of its own, so it may run beside the native package test's.
TESK_DEB_BUILD_ROOT="$SCRATCH/build" "$SOURCE/scripts/package-deb.sh" --arch arm64 "$SCRATCH/debs" >/dev/null
ls "$SCRATCH/debs"
for name in tesk-lv2 tesk-render; do
  compgen -G "$SCRATCH/debs/${name}_*_arm64.deb" >/dev/null || fail "no arm64 $name package was built"
done

step "lintian"
if ! TMPDIR="$SCRATCH" lintian --fail-on error,warning --display-info --pedantic "$SCRATCH"/debs/*.deb >"$SCRATCH/lintian.txt" 2>&1; then
  fail "lintian reports errors or warnings"
fi
grep -v "running with root privileges" "$SCRATCH/lintian.txt" || true

step "unpack"
ROOT="$SCRATCH/root"
for deb in "$SCRATCH"/debs/tesk-lv2_*.deb "$SCRATCH"/debs/tesk-render_*.deb; do dpkg-deb -x "$deb" "$ROOT"; done
PRIVATE="$ROOT/usr/lib/aarch64-linux-gnu/tesk"
RENDER="$ROOT/usr/bin/tesk-render"
for f in "$RENDER" "$PRIVATE/libapple.so" "$PRIVATE/Tesk.component/Contents/MacOS/Tesk" \
  "$ROOT"/usr/lib/lv2/tesk.lv2/*.so; do
  [[ -f "$f" ]] || {
    fail "${f#"$ROOT"} is not in the packages"
    continue
  }
  readelf -h "$f" | grep -q "Machine:.*AArch64" || fail "${f#"$ROOT"} is not arm64 code"
done
for ttl in manifest.ttl tesk.ttl presets.ttl; do
  cmp "$ROOT/usr/lib/lv2/tesk.lv2/$ttl" "$BUILD/lv2/tesk.lv2/$ttl" || fail "the packaged $ttl differs from the build's"
done

step "the packaged tesk-render under qemu-user"
export HOME="$SCRATCH/home"
mkdir -p "$HOME"
"$SOURCE/scripts/run-arm64.sh" "$RENDER" --version || fail "the packaged tesk-render --version failed"
"$SOURCE/scripts/run-arm64.sh" "$RENDER" -q --demo "$SCRATCH/demo-packaged.wav" ||
  fail "the packaged tesk-render --demo failed"
"$BUILD/tools/tesk-render" -q --demo "$SCRATCH/demo-build.wav"
for f in wav png; do
  cmp "$SCRATCH/demo-packaged.$f" "$SCRATCH/demo-build.$f" || fail "the packaged demo's .$f differs from the build's"
done
gunzip -c "$ROOT/usr/share/man/man1/tesk-render.1.gz" >"$SCRATCH/tesk-render.1"
python3 "$SOURCE/tests/package/man_page_test.py" "$SCRATCH/tesk-render.1" "$SOURCE/scripts/run-arm64.sh" "$RENDER" ||
  fail "the packaged manual page does not match the packaged program"

if ((failures)); then
  echo "$failures failed"
  exit 1
fi
echo "the arm64 packages pass lintian and their tesk-render renders as this build's"
