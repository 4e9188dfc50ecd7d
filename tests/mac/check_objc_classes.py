#!/usr/bin/env python3
"""Preprocesses the Objective-C++ glue as the syntax-only step compiles it and checks the
classes it defines: every editor class is <Name>_<tag>_vtest_au and the view factory is
<tag>_View, so two plug-ins built from this code (or two versions) never define the same
Objective-C class in one host process.

usage: check_objc_classes.py --tag TAG --root REPO -- CLANG ARGS... -- SOURCES..."""

import re
import subprocess
import sys


def main():
    argv = sys.argv[1:]
    tag = argv[argv.index("--tag") + 1]
    root = argv[argv.index("--root") + 1]
    first = argv.index("--")
    second = argv.index("--", first + 1)
    compiler = argv[first + 1:second]
    sources = argv[second + 1:]

    marker = re.compile(r'^# \d+ "([^"]+)"')
    declaration = re.compile(r"^\s*@(interface|implementation)\s+([A-Za-z_]\w*)")
    editor_class = re.compile(r"^[A-Za-z]+_" + re.escape(tag) + r"_vtest_au$")
    faults, defined = [], set()
    for src in sources:
        args = [a for a in compiler if a != "-fsyntax-only"] + ["-E", src]
        out = subprocess.run(args, capture_output=True, text=True)
        if out.returncode != 0:
            faults.append(f"{src}: preprocessing failed:\n{out.stderr}")
            continue
        current = src
        for line in out.stdout.splitlines():
            m = marker.match(line)
            if m:
                current = m.group(1)
                continue
            d = declaration.match(line)
            # Only the classes of this repository's own glue, not the system headers'.
            if not d or not current.startswith(root + "/WDL/"):
                continue
            name = d.group(2)
            defined.add(name)
            if name != f"{tag}_View" and not editor_class.match(name):
                faults.append(f"{current}: class {name} is not named for this build ({tag})")
    for wanted in (f"IGraphicsCocoa_{tag}_vtest_au", f"IGraphicsNSMenu_{tag}_vtest_au",
                   f"IGraphicsMenuRcvr_{tag}_vtest_au", f"CocoaFormatter_{tag}_vtest_au",
                   f"CustomCocoaWindow_{tag}_vtest_au", f"{tag}_View"):
        if wanted not in defined:
            faults.append(f"class {wanted} is not defined")
    for f in faults:
        print("FAIL:", f)
    if not faults:
        print("Objective-C classes:", ", ".join(sorted(defined)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
