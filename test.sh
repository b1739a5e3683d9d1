#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test headless.
#   ./test.sh             plain build in build/
#   ./test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer in build-sanitize/
set -euo pipefail
cd "$(dirname "$0")"

sanitize=OFF
build=build
for arg in "$@"; do
  case "$arg" in
    --sanitize) sanitize=ON; build=build-sanitize ;;
    *) echo "usage: $0 [--sanitize]" >&2; exit 2 ;;
  esac
done

tools/deps.sh
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DGENCFG_SANITIZE=$sanitize >/dev/null
cmake --build "$build" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build" --output-on-failure -j2

# A short fuzzing pass over the decoders when clang is there.
if [ "$sanitize" = OFF ] && command -v clang++ >/dev/null; then
  bench/fuzz.sh "${GENCFG_FUZZ_SECONDS:-3}"
fi
