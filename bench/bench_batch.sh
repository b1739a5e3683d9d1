#!/usr/bin/env bash
# Times gencfg-cli batch against eight gensim controllers paced at 9600 baud
# with a status period of 1000 ms, and, in the same run, the same batch with one
# controller alone and write-config to one controller: each unit is read, three
# blocks differ and are written, and the memory is read back (write-config
# writes all four and reads back, without the read before). Prints the ratios
# and the CPU share of gencfg-cli (user + system time over wall time) for the eight.
#   bench/bench_batch.sh BUILD_DIR [REPETITIONS]
set -euo pipefail
b=${1:?build directory}
reps=${2:-3}
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; wait 2>/dev/null || true; rm -rf "$work"' EXIT

# A single controller's link is the name itself, a bench's the name and the unit's number.
port_of() { # count link unit
  if [ "$1" -gt 1 ]; then echo "$2$3"; else echo "$2"; fi
}

start_bench() { # count link
  "$b/gensim" --variant diesel --count "$1" --period 1000 --pace --static --link "$2" >/dev/null 2>&1 &
  for _ in $(seq 50); do [ -e "$(port_of "$1" "$2" $(($1 - 1)))" ] && return 0; sleep 0.1; done
  echo "gensim did not start" >&2; exit 1
}

# The template: the factory memory with one value changed in each of three blocks.
start_bench 1 "$work/t"
"$b/gencfg-cli" read-config --port "$work/t" "$work/factory.txt" >/dev/null
kill %1; wait %1 2>/dev/null || true
awk '{ sub(/\r$/, "") } NR == 3 { $5 = 0; $6 = 190 } NR == 6 { $1 = 9 } NR == 13 { $1 = 98; $2 = 101; $3 = 110; $4 = 99; $5 = 104 }
     { line = ""; for (i = 1; i <= NF; ++i) line = line sprintf("%4d", $i); printf "%s\r\n", line }' \
  "$work/factory.txt" >"$work/template.txt"

# Wall seconds and CPU seconds of one batch; the controllers start fresh, so every unit needs its write.
one_run() { # count
  start_bench "$1" "$work/k$1-"
  local ports=() unit
  for ((unit = 0; unit < $1; ++unit)); do ports+=(--port "$(port_of "$1" "$work/k$1-" "$unit")"); done
  local TIMEFORMAT='%R %U %S' status=0
  { time "$b/gencfg-cli" batch "$work/template.txt" "${ports[@]}" >"$work/out" 2>&1 || status=$?; } 2>"$work/time"
  [ "$status" -eq 0 ] || { cat "$work/out" >&2; exit 1; }
  kill %1; wait %1 2>/dev/null || true
  grep -q "записан и проверен: $1, уже настроен: 0, ошибка: 0" "$work/out" || { cat "$work/out" >&2; exit 1; }
  awk '{ print $1, $2 + $3 }' "$work/time"
}

# write-config of the same template to one fresh controller: a proven write with no read before it.
write_alone() {
  start_bench 1 "$work/w"
  local TIMEFORMAT='%R'
  { time "$b/gencfg-cli" write-config --port "$work/w" "$work/template.txt" >/dev/null 2>&1; } 2>"$work/time"
  kill %1; wait %1 2>/dev/null || true
  cat "$work/time"
}

best_write=999999; best_one=999999; best_eight=999999; cpu_eight=0; wall_eight=0
for ((r = 0; r < reps; ++r)); do
  wall=$(write_alone)
  best_write=$(echo "if ($wall < $best_write) $wall else $best_write" | bc -l)
  read -r wall _ < <(one_run 1)
  best_one=$(echo "if ($wall < $best_one) $wall else $best_one" | bc -l)
  read -r wall cpu < <(one_run 8)
  best_eight=$(echo "if ($wall < $best_eight) $wall else $best_eight" | bc -l)
  wall_eight=$(echo "$wall_eight + $wall" | bc -l); cpu_eight=$(echo "$cpu_eight + $cpu" | bc -l)
done
printf 'one controller alone: %.2f s (best of %d)\n' "$best_one" "$reps"
printf 'write-config alone: %.2f s (best of %d)\n' "$best_write" "$reps"
printf 'eight controllers: %.2f s (best of %d)\n' "$best_eight" "$reps"
printf 'batch of eight over one alone: %.2f\n' "$(echo "$best_eight / $best_one" | bc -l)"
printf 'batch of eight over write-config alone: %.2f\n' "$(echo "$best_eight / $best_write" | bc -l)"
printf 'gencfg-cli CPU share for eight: %.2f %% of one core\n' "$(echo "100 * $cpu_eight / $wall_eight" | bc -l)"
