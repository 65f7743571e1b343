#!/usr/bin/env bash
# Whole-process comparison with a peer: the same realistic batch of 100,000 payments as a
# payfile JSON batch, written by `payfile write` in each format and, as pain.001.001.03,
# by a Node script over the npm package sepa@3.0.0. Prints wall time and peak memory of
# each process side by side. The peer is installed outside the repository.
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

# run NAME OUTPUT COMMAND...: one process under /usr/bin/time -v.
run() {
  local name=$1 output=$2
  shift 2
  /usr/bin/time -v "$@" >/dev/null 2>"$work/time.log" || { echo "$name failed:"; cat "$work/time.log"; return 1; }
  local wall rss
  wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$work/time.log")
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.log")
  printf '| %-30s | %10s | %12s | %14s |\n' "$name" "$wall" "$((rss / 1024)) MB" "$(stat -c %s "$output")"
  rm -f "$output"
}

printf '| %-30s | %10s | %12s | %14s |\n' process "wall" "peak memory" "bytes written"
printf '|%s|%s|%s|%s|\n' "--------------------------------" "-----------:" "-------------:" "---------------:"
run "payfile write --type dta" "$work/out.dta" "$build/bin/payfile" write "$work/batch.json" --type dta --out "$work/out.dta"
run "payfile write --type ezag" "$work/out.ezag" "$build/bin/payfile" write "$work/batch.json" --type ezag --out "$work/out.ezag"
run "payfile write --type iso --ch" "$work/out.xml" "$build/bin/payfile" write "$work/batch.json" --type iso --ch \
  --period 2026-12 --out "$work/out.xml"
run "payfile write --type iso" "$work/out.xml" "$build/bin/payfile" write "$work/batch.json" --type iso \
  --period 2026-12 --out "$work/out.xml"
run "node sepa@3.0.0 (pain.001)" "$work/peer.xml" node bench/peer_sepa.js "$peer" "$work/batch.json" "$work/peer.xml"
