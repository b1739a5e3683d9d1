#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and fuzzes each for
# SECONDS, starting from the seed corpus in fuzz/corpus. New inputs collect in
# build-fuzz/corpus/<target>; a crash leaves its input in build-fuzz/.
#   bench/fuzz.sh [SECONDS]    (default 60)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
command -v clang++ >/dev/null || { echo "clang++ is needed for fuzzing" >&2; exit 1; }

targets=()
for f in fuzz/fuzz_*.cpp; do targets+=("$(basename "$f" .cpp)"); done

CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DGENCFG_FUZZ=ON -DGENCFG_SANITIZE=ON >/dev/null
cmake --build build-fuzz --target "${targets[@]}" -j"$(nproc)" >/dev/null

status=0
for t in "${targets[@]}"; do
  name=${t#fuzz_}
  work=build-fuzz/corpus/$name
  mkdir -p "$work"
  log=build-fuzz/$t.log
  if (cd build-fuzz && "./$t" -max_total_time="$seconds" -print_final_stats=1 "corpus/$name" "../fuzz/corpus/$name") >"$log" 2>&1; then
    runs=$(grep -Eo 'Done [0-9]+ runs' "$log" | grep -Eo '[0-9]+' || echo 0)
    echo "$t: $runs runs in ${seconds}s, no failure"
  else
    echo "$t: FAILED, see $log" >&2
    status=1
  fi
done
exit $status
