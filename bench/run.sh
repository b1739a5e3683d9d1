#!/usr/bin/env bash
# Builds in release mode, runs every benchmark against the simulator and writes
# docs/performance.md.
#   bench/run.sh                 full run (the soak alone takes 10 minutes)
#   SOAK_SECONDS=120 bench/run.sh  a shorter soak
set -euo pipefail
cd "$(dirname "$0")/.."
soak_seconds=${SOAK_SECONDS:-600}

tools/deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-release -j"$(nproc)" --target gensim bench_decoder bench_link bench_startup \
  bench_status_frame bench_transfer bench_journal bench_soak >/dev/null
export QT_QPA_PLATFORM=offscreen
b=build-release
log=build-release/bench.log
: >"$log"

run() { echo "== $*" >>"$log"; "$@" 2>&1 | tee -a "$log"; }
field() { sed -n "$1" <<<"$2" | head -n 1; }

echo "decoder..."
out=$(run $b/bench_decoder 50)
decoder=$(field 's/.* \([0-9]*\) times the 9600-baud line rate.*/\1/p' "$out")

echo "link..."
out=$(run $b/bench_link 100)
cpu_wait=$(field 's/^CPU share while waiting: *\([0-9.]*\) %.*/\1/p' "$out")
delay_median=$(field 's/.*median \([0-9.]*\) ms, p99.*/\1/p' "$out")
delay_p99=$(field 's/.*p99 \([0-9.]*\) ms over.*/\1/p' "$out")
cancel_end=$(field "s/^stop to the operation's end: \(.*\) over.*/\1/p" "$out")

echo "transfer..."
out=$(run $b/bench_transfer 3 1000)
read_ratio=$(field 's/^read  period 1000 ms:.*ratio median \([0-9.]*\) worst \([0-9.]*\).*/\1 (worst \2)/p' "$out")
write_ratio=$(field 's/^write period 1000 ms:.*ratio median \([0-9.]*\) worst \([0-9.]*\).*/\1 (worst \2)/p' "$out")

echo "journal..."
out=$(run $b/bench_journal)
journal_ratio=$(sed -n '/gensim in its own process/,$p' <<<"$out" | sed -n 's/.*against the pace: *\([0-9.]*\) x.*/\1/p' | head -n 1)
journal_cpu=$(sed -n '/gensim in its own process/,$p' <<<"$out" | sed -n 's/.*CPU share: *\([0-9.]*\) %.*/\1/p' | head -n 1)

echo "status frame display..."
out=$(run $b/bench_status_frame 500)
frame_cost=$(field 's/^median per frame incl. display and repaint: \([0-9.]*\) us.*/\1/p' "$out")
out=$(run $b/bench_status_frame 500 --full-repaint)
frame_cost_full=$(field 's/^median per frame incl. display and repaint: \([0-9.]*\) us.*/\1/p' "$out")
out=$(run $b/bench_status_frame 500 --day)
frame_cost_day=$(field 's/^median per frame incl. display and repaint: \([0-9.]*\) us.*/\1/p' "$out")
day_mb=$(field 's/.*(\([0-9.]*\) MB for a full day).*/\1/p' "$out")
out=$(run $b/bench_status_frame 500 --day --trends)
frame_cost_trends=$(field 's/^median per frame incl. display and repaint: \([0-9.]*\) us.*/\1/p' "$out")
out=$(run $b/bench_status_frame 500 --day --trends --all)
frame_cost_trends_all=$(field 's/^median per frame incl. display and repaint: \([0-9.]*\) us.*/\1/p' "$out")

echo "start-up..."
out=$(run $b/bench_startup)
startup=$(field 's/^start-up to the first painted window: \([0-9.]*\) ms.*/\1/p' "$out")
rss_start=$(field 's/^resident memory after start: \([0-9.]*\) MB.*/\1/p' "$out")

echo "soak ($soak_seconds s)..."
out=$(run $b/bench_soak --seconds "$soak_seconds" || true)
rss_soak=$(field 's/^resident memory:.*, \([0-9.]*\) MB at [0-9]* s$/\1/p' "$out")
rss_growth=$(field 's/^growth after the first minute: *\([-0-9.]*\) MB.*/\1/p' "$out")
frames_check=$(field 's/^frames: *\(.*\)$/\1/p' "$out")
objects_check=$(field 's/^objects under the window: *\(.*\)$/\1/p' "$out")

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
qt=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || echo unknown)
mkdir -p docs
cat >docs/performance.md <<REPORT
# Performance

Measured by \`bench/run.sh\` on $(date -u +%Y-%m-%d), release build, against the
simulated controller (\`gensim\` in its own process unless noted), window offscreen.

Machine: $cpu, $(nproc) cores, $(uname -sr), Qt $qt.
These machines are shared; figures vary from run to run.

| Figure | Measured | Target |
|---|---|---|
| Decoder throughput (status frames, replies and noise through the dispatcher) | ${decoder} x the 9600-baud line rate | at least 100 x |
| CPU share while waiting for the controller (100 block reads, status period 100 ms) | ${cpu_wait} % | below 2 % |
| Request delay after the end of the controller's frame | median ${delay_median} ms, p99 ${delay_p99} ms | p99 below 5 ms |
| From "Стоп" to the end of a journal reading (20 stops, half while a reply is awaited, status period 100 ms) | ${cancel_end} | within one status period |
| Full read, ratio to the device-paced minimum (9600 baud paced, period 1000 ms) | ${read_ratio} | at most 1.2 |
| Full write, ratio to the device-paced minimum | ${write_ratio} | at most 1.2 |
| Journal read (155 requests, period 100 ms), ratio to one period per request | ${journal_ratio} (CPU ${journal_cpu} %) | at most 1.2, CPU below 2 % |
| Handling one status frame, display and repaint of what it changed (median), measurement page shown | ${frame_cost} us | well below the status period |
| The same with every widget of the window repainted each frame (the figure of earlier reports: 4925 us) | ${frame_cost_full} us | |
| The same with a full day (86,400 frames) in the telemetry record | ${frame_cost_day} us | below 1500 us |
| The same with the "Графики" page shown, last 10 minutes | ${frame_cost_trends} us | below 1500 us |
| The same with the "Графики" page shown, the whole day | ${frame_cost_trends_all} us | below 1500 us |
| Memory of a full day's telemetry record | ${day_mb} MB | below 30 MB |
| Start-up to the first painted window | ${startup} ms | below 1000 ms |
| Resident memory after start | ${rss_start} MB | |
| Resident memory after the soak (${soak_seconds} s, status every 100 ms, journals every minute) | ${rss_soak} MB, growth after the first minute ${rss_growth} MB | growth below 1 MB |
| Soak: frames counted against frames sent | ${frames_check} | exact |
| Soak: objects under the window after the first minute and at the end | ${objects_check} | equal |

The device-paced minimum of a transfer is one status period per request plus
the wire time of its frames at 9600 baud: four requests for a read, eight for
a write, which reads the four blocks back to prove them; a ratio below 1
means the transfer started part-way into a status period. The raw output of
every benchmark is in \`build-release/bench.log\`.
REPORT
echo "wrote docs/performance.md"
