#!/usr/bin/env bash
# Whole-process comparison with a peer: the same realistic batch of 100,000 payments as a
# payfile JSON batch, written by `payfile write` in each format and, as pain.001.001.03,
# by a Node script over the npm package sepa@3.0.0. Prints the median wall time and peak
# memory of several runs of each process side by side, and the ratios. The peer is
# installed outside the repository.
#   bench/compare-peer.sh [PAYMENTS] [BUILD_DIR]     (defaults 100000, build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
payments=${1:-100000}
build=${2:-build-bench}
peer=${ORDEXA_PEER_DIR:-/tmp/ordexa-peer}

if [ ! -x "$build/bin/payfile" ] || [ ! -x "$build/bin/ordexa_bench" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORDEXA_BENCH=ON -DORDEXA_TESTS=OFF >/dev/null
  cmake --build "$build" -j 2 --target ordexa_bench payfile >/dev/null
fi
if [ ! -f "$peer/node_modules/sepa/package.json" ]; then
  mkdir -p "$peer"
  (cd "$peer" && npm install --no-audit --no-fund --silent sepa@3.0.0 >/dev/null)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/ordexa_bench" --json "$payments" "$work/batch.json"
echo "batch: $payments payments, $(($(stat -c %s "$work/batch.json") / 1000000)) MB of JSON"

# run NAME OUTPUT REPETITIONS COMMAND...: the process REPETITIONS times; prints the median
# wall time and the median peak resident memory, and keeps them for the ratios.
declare -A wall_ms rss_kb
run() {
  local name=$1 output=$2 reps=$3
  shift 3
  local walls=() rsss=() rep start end
  for ((rep = 0; rep < reps; rep++)); do
    start=$(date +%s%N)
    /usr/bin/time -f '%M' -o "$work/time.log" "$@" >/dev/null 2>"$work/err.log" ||
      { echo "$name failed:"; cat "$work/err.log"; return 1; }
    end=$(date +%s%N)
    walls+=($(((end - start) / 1000000)))
    rsss+=("$(tail -1 "$work/time.log")")
  done
  local bytes
  bytes=$(stat -c %s "$output")
  rm -f "$output"
  wall_ms[$name]=$(printf '%s\n' "${walls[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  rss_kb[$name]=$(printf '%s\n' "${rsss[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  printf '| %-30s | %8s ms | %9s MB | %14s |\n' "$name" "${wall_ms[$name]}" "$((rss_kb[$name] / 1024))" "$bytes"
}

peer_name="node sepa@3.0.0 (pain.001)"
printf '| %-30s | %11s | %12s | %14s |\n' "process (median of runs)" "wall" "peak memory" "bytes written"
printf '|%s|%s|%s|%s|\n' "--------------------------------" "------------:" "-------------:" "---------------:"
run "payfile write --type dta" "$work/out.dta" 5 "$build/bin/payfile" write "$work/batch.json" --type dta --out "$work/out.dta"
run "payfile write --type ezag" "$work/out.ezag" 5 "$build/bin/payfile" write "$work/batch.json" --type ezag --out "$work/out.ezag"
run "payfile write --type iso --ch" "$work/out.xml" 5 "$build/bin/payfile" write "$work/batch.json" --type iso --ch \
  --period 2026-12 --out "$work/out.xml"
run "payfile write --type iso" "$work/out.xml" 5 "$build/bin/payfile" write "$work/batch.json" --type iso \
  --period 2026-12 --out "$work/out.xml"
run "$peer_name" "$work/peer.xml" 3 node bench/peer_sepa.js "$peer" "$work/batch.json" "$work/peer.xml"

echo
for name in "payfile write --type dta" "payfile write --type ezag" "payfile write --type iso --ch" "payfile write --type iso"; do
  awk -v n="$name" -v w="${wall_ms[$name]}" -v pw="${wall_ms[$peer_name]}" -v r="${rss_kb[$name]}" -v pr="${rss_kb[$peer_name]}" \
    'BEGIN { printf "%-30s %5.1f times faster than the peer, %4.1f%% of its peak memory (1/%.1f)\n", n, pw / w, 100 * r / pr, pr / r }'
done
