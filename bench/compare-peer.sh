#!/usr/bin/env bash
# Whole-process comparison with the floor and with a peer: the same realistic batch of
# 100,000 payments as a payfile JSON batch (the 2019 file: the same payroll with QR-bills),
# written by `payfile write` in each format; beside each, the floor for the same batch and
# output (ordexa_write_floor: read the batch, write the finished bytes through NAME.tmp,
# sync, rename) and the ratio; then, as pain.001.001.03 and pain.001.001.09, a Node script
# over the npm package sepa@3.0.0. Median wall time (min-max) and median peak memory of
# several runs of each process. The peer is installed outside the repository.
#   bench/compare-peer.sh [PAYMENTS] [BUILD_DIR]     (defaults 100000, build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
payments=${1:-100000}
build=${2:-build-bench}
peer=${ORDEXA_PEER_DIR:-/tmp/ordexa-peer}

if [ ! -x "$build/bin/payfile" ] || [ ! -x "$build/bin/ordexa_bench" ] || [ ! -x "$build/bin/ordexa_write_floor" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORDEXA_BENCH=ON -DORDEXA_TESTS=OFF >/dev/null
  cmake --build "$build" -j 2 --target ordexa_bench payfile ordexa_write_floor >/dev/null
fi
if [ ! -f "$peer/node_modules/sepa/package.json" ]; then
  mkdir -p "$peer"
  (cd "$peer" && npm install --no-audit --no-fund --silent sepa@3.0.0 >/dev/null)
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/ordexa_bench" --json "$payments" "$work/batch.json"
"$build/bin/ordexa_bench" --json-2019 "$payments" "$work/batch-2019.json"
echo "batch: $payments payments, $(($(stat -c %s "$work/batch.json") / 1000000)) MB of JSON" \
  "($(($(stat -c %s "$work/batch-2019.json") / 1000000)) MB for the 2019 file)"

# shellcheck source=bench/process_runs.sh
source bench/process_runs.sh

peer_name="node sepa@3.0.0 (pain.001.001.03)"
peer_2019="node sepa@3.0.0 (pain.001.001.09)"
table_head
write "--type dta" "$work/batch.json" 5 --type dta
write "--type ezag" "$work/batch.json" 5 --type ezag
write "--type iso --ch" "$work/batch.json" 5 --type iso --ch --period 2026-12
write "--type iso" "$work/batch.json" 5 --type iso --period 2026-12
if [ "$payments" -le 99999 ]; then
  write "--type iso2019 --ch" "$work/batch-2019.json" 5 --type iso2019 --ch --period 2026-12
fi
write "--type iso2019" "$work/batch-2019.json" 5 --type iso2019 --period 2026-12
run "$peer_name" "$work/peer.xml" 3 node bench/peer_sepa.js "$peer" "$work/batch.json" "$work/peer.xml"
run "$peer_2019" "$work/peer.xml" 3 node bench/peer_sepa.js "$peer" "$work/batch-2019.json" "$work/peer.xml" \
  pain.001.001.09 || true

echo
for name in "${!floor_ratio[@]}"; do
  printf '%-34s %s times its floor\n' "payfile write $name" "${floor_ratio[$name]}"
done | sort
echo
for name in "payfile write --type dta" "payfile write --type ezag" "payfile write --type iso --ch" \
  "payfile write --type iso"; do
  awk -v n="$name" -v w="${wall_ms[$name]}" -v pw="${wall_ms[$peer_name]}" -v r="${rss_kb[$name]}" -v pr="${rss_kb[$peer_name]}" \
    'BEGIN { printf "%-30s %5.1f times faster than the peer, %4.1f%% of its peak memory (1/%.1f)\n", n, pw / w, 100 * r / pr, pr / r }'
done
if [ -n "${wall_ms[$peer_2019]:-}" ]; then
  name="payfile write --type iso2019"
  awk -v n="$name" -v w="${wall_ms[$name]}" -v pw="${wall_ms[$peer_2019]}" -v r="${rss_kb[$name]}" -v pr="${rss_kb[$peer_2019]}" \
    'BEGIN { printf "%-30s %5.1f times faster than the peer, %4.1f%% of its peak memory (1/%.1f)\n", n, pw / w, 100 * r / pr, pr / r }'
fi
