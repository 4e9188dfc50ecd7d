#!/usr/bin/env python3
"""The manual page of tesk-render says what `tesk-render --help` says: the same options
with the same arguments, the same exit codes, the program's version, and it renders
without a warning.

Usage: man_page_test.py MAN_PAGE TESK_RENDER
       man_page_test.py MAN_PAGE EMULATOR... TESK_RENDER   (a cross build's program)
"""

import re
import shutil
import subprocess
import sys


def help_options(text):
    """{option: argument} of the option column of --help ("--set NAME=VALUE", "--quiet, -q")."""
    found = {}
    for line in text.splitlines():
        m = re.match(r"^  (-\S.*?)(?:\s{2,}|$)", line)
        if not m:
            continue
        for variant in m.group(1).split(", "):
            name, _, argument = variant.partition(" ")
            found[name] = argument
    return found


def help_exit_codes(text):
    """{code: meaning} from the "Exit codes: 0 done, 2 ..." paragraph."""
    paragraph = " ".join(text[text.index("Exit codes:"):].split())[len("Exit codes: "):].rstrip(".")
    return {int(code): meaning for code, meaning in re.findall(r"(\d+) (.+?)(?:, (?=\d)|$)", paragraph)}


def roff_text(line):
    """The text a font-macro line (.B, .BI, .BR, .IR, ...) prints, or a plain line's."""
    line = line.replace("\\-", "-")
    if not line.startswith("."):
        return line
    macro, _, rest = line.partition(" ")
    words = [q if q else w for q, w in re.findall(r'"([^"]*)"|(\S+)', rest)]
    # One-font macros join their arguments with spaces, alternating ones without.
    return " ".join(words) if macro in (".B", ".I") else "".join(words)


def man_sections(source):
    """{section: [(tag, first body line)]} of the .TP entries of each .SH section."""
    sections, current, lines = {}, None, source.splitlines()
    for i, line in enumerate(lines):
        if line.startswith(".SH "):
            current = line[4:].strip().strip('"')
            sections[current] = []
        elif line == ".TP" and current and i + 2 < len(lines):
            sections[current].append((roff_text(lines[i + 1]), roff_text(lines[i + 2])))
    return sections


def man_options(source):
    found = {}
    for tag, _ in man_sections(source)["OPTIONS"]:
        for variant in tag.split(", "):
            name, _, argument = variant.partition(" ")
            found[name] = argument
    return found


def main():
    page, program = sys.argv[1], sys.argv[2:]
    usage = subprocess.run(program + ["--help"], capture_output=True, text=True, check=True).stdout
    version = subprocess.run(program + ["--version"], capture_output=True, text=True, check=True).stdout
    with open(page, encoding="utf-8") as f:
        source = f.read()
    failures = []

    in_help, in_man = help_options(usage), man_options(source)
    if len(in_help) < 15:
        failures.append(f"--help lists only {sorted(in_help)}: the option column was not read")
    for name in sorted(set(in_help) | set(in_man)):
        if name not in in_man:
            failures.append(f"{name} is in --help but not in the manual page")
        elif name not in in_help:
            failures.append(f"{name} is in the manual page but not in --help")
        elif in_help[name] != in_man[name]:
            failures.append(f"{name}: --help says '{in_help[name]}', the manual page '{in_man[name]}'")

    codes_help = help_exit_codes(usage)
    codes_man = {int(tag): body for tag, body in man_sections(source)["EXIT STATUS"]}
    if codes_help != codes_man:
        failures.append(f"exit codes differ:\n  --help: {codes_help}\n  manual: {codes_man}")

    title = next(line for line in source.splitlines() if line.startswith(".TH "))
    program_version = version.split()[1]
    if f'"tesk-render {program_version}"' not in title:
        failures.append(f"the manual page's title line does not name version {program_version}: {title}")

    if shutil.which("groff"):
        rendered = subprocess.run(["groff", "-man", "-Tutf8", "-ww", "-z", page], capture_output=True, text=True)
        if rendered.returncode != 0 or rendered.stderr.strip():
            failures.append("groff warns about the manual page:\n" + rendered.stderr)

    for f in failures:
        print("FAIL:", f)
    print(f"{len(in_help)} options and {len(codes_help)} exit codes compared")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
