#!/usr/bin/env bash
# Fails when a tracked C++ source differs from the house style in .clang-format.
# Usage: scripts/check-format.sh        (check)
#        scripts/check-format.sh --fix  (rewrite the files in place)
set -euo pipefail
cd "$(dirname "$0")/.."

if ! command -v clang-format >/dev/null; then
  echo "check-format: clang-format is not installed (scripts/bootstrap.sh installs it)" >&2
  exit 1
fi

mapfile -t files < <(git ls-files '*.cpp' '*.h' '*.c' '*.mm')
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
  exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/tmp/check-format.$$; then
  grep -E '^[^ ].*: (error|warning):' /tmp/check-format.$$ | cut -d: -f1 | sort -u | sed 's/^/check-format: not formatted: /' >&2
  rm -f /tmp/check-format.$$
  echo "check-format: run scripts/check-format.sh --fix" >&2
  exit 1
fi
rm -f /tmp/check-format.$$
echo "check-format: ${#files[@]} files follow .clang-format"
