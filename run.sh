#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program on a simulated
# controller. Pass --port DEVICE (or any other gencfg options) to use a real
# serial port instead.
set -euo pipefail
cd "$(dirname "$0")"
tools/deps.sh
# The same build tree as ./test.sh, so switching between the two rebuilds nothing.
cmake -S . -B build >/dev/null
cmake --build build -j"$(nproc)"
if [ $# -eq 0 ]; then
  exec build/gencfg --simulate
fi
exec build/gencfg "$@"
