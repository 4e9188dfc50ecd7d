#!/usr/bin/env bash
# Runs an arm64 (aarch64-linux-gnu) program on this x86-64 machine under qemu-user.
# Usage: scripts/run-arm64.sh PROGRAM [ARGS...]
#
# The program's loader and libraries are the arm64 ones that multiarch installs
# (/lib/ld-linux-aarch64.so.1, /usr/lib/aarch64-linux-gnu); without them, those of
# the cross toolchain's folder /usr/aarch64-linux-gnu. scripts/build-arm64.sh
# installs both. Timings under emulation say nothing about speed on arm64.
set -euo pipefail

if (($# == 0)); then
  echo "usage: scripts/run-arm64.sh PROGRAM [ARGS...]" >&2
  exit 2
fi
if ! command -v qemu-aarch64 >/dev/null; then
  echo "run-arm64: qemu-aarch64 is missing (scripts/build-arm64.sh installs qemu-user)" >&2
  exit 127
fi
if [[ ! -e /lib/ld-linux-aarch64.so.1 && -z "${QEMU_LD_PREFIX:-}" ]]; then
  export QEMU_LD_PREFIX=/usr/aarch64-linux-gnu
fi
exec qemu-aarch64 "$@"
