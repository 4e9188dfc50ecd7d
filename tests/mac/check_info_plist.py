#!/usr/bin/env python3
"""Writes the component bundle's Info.plist the way the Apple build does (the build's own CMake
function over resources/Info.plist.in) and checks every key a host or the system reads."""

import argparse
import os
import plistlib
import subprocess
import sys

# What the bundle must say, whatever the version.
BUNDLE_KEYS = {
    "CFBundleIdentifier": "com.orvanta.audiounit.Tesk",
    "CFBundlePackageType": "BNDL",
    "CFBundleExecutable": "Tesk",
    "CFBundleName": "Tesk",
}
COMPONENT_KEYS = {
    "type": "aufx",
    "subtype": "Tesk",
    "manufacturer": "Tesk",
    "name": "Orvanta: Tesk",
    # The audio component factory the component exports: the only entry current hosts call.
    "factoryFunction": "Tesk_Factory",
    # Nothing the plug-in does needs more than a sandboxed host allows: it reads its own
    # bundle, and file and web access go through the system's panels and workspace.
    "sandboxSafe": True,
    "tags": ["Effects"],
}


def write_plist(cmake, writer, version, out):
    subprocess.run([cmake, f"-DOUT={out}", f"-DVERSION={version}", "-P", writer], check=True)
    with open(out, "rb") as f:
        return plistlib.load(f)


def check(plist, version, version_int):
    faults = []

    def expect(where, key, got, want):
        if got != want:
            faults.append(f"{where}{key}: {got!r}, expected {want!r}")

    for key, want in BUNDLE_KEYS.items():
        expect("", key, plist.get(key), want)
    expect("", "CFBundleShortVersionString", plist.get("CFBundleShortVersionString"), version)
    expect("", "CFBundleVersion", plist.get("CFBundleVersion"), version)
    components = plist.get("AudioComponents")
    if not isinstance(components, list) or len(components) != 1 or not isinstance(components[0], dict):
        return faults + [f"AudioComponents: {components!r}, expected one entry"]
    entry = components[0]
    for key, want in COMPONENT_KEYS.items():
        expect("AudioComponents[0].", key, entry.get(key), want)
    # An integer, not a string: hosts compare it numerically.
    version_value = entry.get("version")
    if not isinstance(version_value, int) or isinstance(version_value, bool):
        faults.append(f"AudioComponents[0].version: {version_value!r} is not an integer")
    expect("AudioComponents[0].", "version", version_value, version_int)
    return faults


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--cmake", required=True)
    ap.add_argument("--writer", required=True)
    ap.add_argument("--version", required=True, help="the project's version")
    ap.add_argument("--workdir", required=True)
    args = ap.parse_args()
    os.makedirs(args.workdir, exist_ok=True)

    # The project's own version; 1.0.0 as hosts know it (65536); a version whose every part lands
    # in its own bits.
    major, minor, bugfix = (int(p) for p in args.version.split("."))
    cases = [(args.version, (major << 16) | (minor << 8) | bugfix), ("1.0.0", 65536), ("2.3.4", 0x020304)]
    faults = []
    for version, version_int in cases:
        out = os.path.join(args.workdir, f"Info-{version}.plist")
        faults += [f"[{version}] {f}" for f in check(write_plist(args.cmake, args.writer, version, out), version,
                                                     version_int)]

    # A version whose parts do not fit their bits must not make a plist.
    bad = subprocess.run([args.cmake, f"-DOUT={os.path.join(args.workdir, 'bad.plist')}", "-DVERSION=1.256.0",
                          "-P", args.writer], capture_output=True)
    if bad.returncode == 0:
        faults.append("version 1.256.0 was accepted")

    for f in faults:
        print("FAIL:", f)
    if not faults:
        print("Info.plist: every key as expected")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
