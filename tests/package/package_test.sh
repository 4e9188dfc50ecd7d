#!/usr/bin/env bash
# The Debian packages as a user gets them, without installing anything into this
# machine's system:
#  1. scripts/package-deb.sh builds them, then again in another folder with the
#     compiler cache off: the two sets of .deb files are byte for byte the same;
#  2. lintian finds no error and no warning in any of them;
#  3. they are unpacked into a scratch folder (dpkg-deb -x), and from there
#     - lv2apply runs the packaged bundle (LV2_PATH pointing at it alone), stereo and
#       mono, and writes what it writes with the build's bundle;
#     - the packaged tesk-render opens the packaged component (the loader's log shows
#       which files it maps) and renders what the build's tesk-render renders, a file
#       and the demo with its editor picture;
#     - the packaged manual page matches the packaged program's --help.
#
# Usage: package_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
SOURCE=$(cd "$1" && pwd)
BUILD=$(cd "$2" && pwd)
SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/tesk-package-test.XXXXXX")
trap 'rm -rf "$SCRATCH"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
step() { echo "---- $*"; }

for program in dpkg-deb lintian lv2apply lv2info python3; do
  command -v "$program" >/dev/null || {
    echo "FAIL: $program is missing (scripts/bootstrap.sh installs it)"
    exit 1
  }
done

step "build the packages twice"
# The second time in another folder and with the compiler cache off, so the compiler
# really runs twice and the build's path cannot leak into the packages.
"$SOURCE/scripts/package-deb.sh" "$SCRATCH/first" >/dev/null
CCACHE_DISABLE=1 TESK_DEB_BUILD_ROOT="$SCRATCH/elsewhere" "$SOURCE/scripts/package-deb.sh" "$SCRATCH/second" >/dev/null
(cd "$SCRATCH/first" && ls) >"$SCRATCH/first.list"
(cd "$SCRATCH/second" && ls) >"$SCRATCH/second.list"
cat "$SCRATCH/first.list"
for name in tesk-lv2 tesk-render; do
  grep -q "^${name}_.*\.deb$" "$SCRATCH/first.list" || fail "no $name package was built"
done
cmp -s "$SCRATCH/first.list" "$SCRATCH/second.list" || fail "the two builds made different files"
while read -r f; do
  cmp -s "$SCRATCH/first/$f" "$SCRATCH/second/$f" || fail "$f differs between two builds of one tree"
done <"$SCRATCH/first.list"

step "lintian"
# No error and no warning; informational and pedantic tags are printed too.
if ! TMPDIR="$SCRATCH" lintian --fail-on error,warning --display-info --pedantic "$SCRATCH"/first/*.deb >"$SCRATCH/lintian.txt" 2>&1; then
  fail "lintian reports errors or warnings"
fi
grep -v "running with root privileges" "$SCRATCH/lintian.txt" || true

step "unpack"
ROOT="$SCRATCH/root"
for deb in "$SCRATCH"/first/tesk-lv2_*.deb "$SCRATCH"/first/tesk-render_*.deb; do dpkg-deb -x "$deb" "$ROOT"; done
MULTIARCH=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
PRIVATE="$ROOT/usr/lib/$MULTIARCH/tesk"
# Nothing outside the scratch folder: no user components or LV2 folders.
export HOME="$SCRATCH/home" XDG_CONFIG_HOME="$SCRATCH/home/.config" XDG_CACHE_HOME="$SCRATCH/home/.cache"
mkdir -p "$HOME"

# Test signals: three seconds of partials and a noise bed, 16-bit, stereo and mono.
python3 - "$SCRATCH" <<'EOF'
import math, random, struct, sys, wave
random.seed(7)
for channels, name in ((2, "stereo.wav"), (1, "mono.wav")):
    frames = bytearray()
    for n in range(3 * 44100):
        for c in range(channels):
            x = 0.3 * math.sin(2 * math.pi * (220 + 110 * c) * n / 44100) + 0.2 * math.sin(2 * math.pi * 3150 * n / 44100)
            x += 0.1 * (random.random() - 0.5)
            frames += struct.pack("<h", int(x * 32767))
    with wave.open(f"{sys.argv[1]}/{name}", "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(44100)
        w.writeframes(bytes(frames))
EOF

step "lv2apply with the packaged bundle"
# The bundles lv2info names for the plug-in (its own, its UI's).
bundle_of() { LV2_PATH=$1 lv2info "$2" | sed -n 's/^\s*Bundle:\s*//p' | sort -u; }
[[ "$(bundle_of "$ROOT/usr/lib/lv2" urn:orvanta:tesk)" == "file://$ROOT/usr/lib/lv2/tesk.lv2/" ]] ||
  fail "lv2info does not find the stereo plug-in in the unpacked bundle"
settings=(-c pre 0.5 -c mode_a 0.4 -c mode_b 0.3 -c low 0.01 -c high 0.2 -c inv 1)
for uri_input in "urn:orvanta:tesk stereo" "urn:orvanta:tesk#mono mono"; do
  read -r uri input <<<"$uri_input"
  for where in packaged build; do
    path="$ROOT/usr/lib/lv2"
    [[ $where == build ]] && path="$BUILD/lv2"
    LV2_PATH=$path lv2apply -i "$SCRATCH/$input.wav" -o "$SCRATCH/lv2-$input-$where.wav" "${settings[@]}" "$uri" ||
      fail "lv2apply with the $where bundle failed on $input"
  done
  cmp "$SCRATCH/lv2-$input-packaged.wav" "$SCRATCH/lv2-$input-build.wav" ||
    fail "the packaged $uri renders differently from the build's"
  cmp -s "$SCRATCH/lv2-$input-packaged.wav" "$SCRATCH/$input.wav" && fail "$uri left $input.wav as it was"
done

step "the packaged tesk-render"
RENDER="$ROOT/usr/bin/tesk-render"
"$RENDER" --version || fail "the packaged tesk-render --version failed"
LD_DEBUG=files "$RENDER" -q --set Pre=0.5 --set "Mode A=0.4" "$SCRATCH/stereo.wav" "$SCRATCH/render-packaged.wav" \
  2>"$SCRATCH/loader.txt" || fail "the packaged tesk-render failed to render"
# The libraries it initialised, with their paths made plain.
sed -n 's/.*calling init: //p' "$SCRATCH/loader.txt" | xargs -r realpath >"$SCRATCH/loaded.txt"
for f in "$PRIVATE/libapple.so" "$PRIVATE/Tesk.component/Contents/MacOS/Tesk"; do
  grep -qxF "$f" "$SCRATCH/loaded.txt" || fail "the packaged tesk-render did not load $f"
done
grep -F "$BUILD/" "$SCRATCH/loaded.txt" && fail "the packaged tesk-render loaded files of the build folder"
"$BUILD/tools/tesk-render" -q --set Pre=0.5 --set "Mode A=0.4" "$SCRATCH/stereo.wav" "$SCRATCH/render-build.wav"
cmp "$SCRATCH/render-packaged.wav" "$SCRATCH/render-build.wav" ||
  fail "the packaged tesk-render renders differently from the build's"
"$RENDER" -q --demo "$SCRATCH/demo-packaged.wav" || fail "the packaged tesk-render --demo failed"
"$BUILD/tools/tesk-render" -q --demo "$SCRATCH/demo-build.wav"
for f in wav png; do
  cmp "$SCRATCH/demo-packaged.$f" "$SCRATCH/demo-build.$f" || fail "the packaged demo's .$f differs from the build's"
done

step "the packaged manual page"
gunzip -c "$ROOT/usr/share/man/man1/tesk-render.1.gz" >"$SCRATCH/tesk-render.1"
python3 "$SOURCE/tests/package/man_page_test.py" "$SCRATCH/tesk-render.1" "$RENDER" ||
  fail "the packaged manual page does not match the packaged program"

if ((failures)); then
  echo "$failures failed"
  exit 1
fi
echo "the packages build reproducibly, pass lintian and work from their contents"
