#!/usr/bin/env bash
# The whole `payfile write` against its floor, per file type and batch size: the median
# wall time of payfile writing a realistic batch (the 2019 file: the same payroll with
# QR-bills), beside the floor for the same batch and output (ordexa_write_floor: read the
# batch, write the finished bytes through NAME.tmp, sync, rename), their ratio and the
# time per payment. The Swiss 2019 file holds at most 99,999 payments: it is written with
# one payment less where a size reaches that.
#   bench/floor.sh [BUILD_DIR] [PAYMENTS...]     (defaults build-bench, 10000 100000 1000000)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
[ $# -gt 0 ] && shift
if [ $# -gt 0 ]; then sizes=("$@"); else sizes=(10000 100000 1000000); fi
reps=${FLOOR_RUNS:-5}

if [ ! -x "$build/bin/payfile" ] || [ ! -x "$build/bin/ordexa_bench" ] || [ ! -x "$build/bin/ordexa_write_floor" ]; then
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DORDEXA_BENCH=ON -DORDEXA_TESTS=OFF >/dev/null
  cmake --build "$build" -j 2 --target ordexa_bench payfile ordexa_write_floor >/dev/null
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# shellcheck source=bench/process_runs.sh
source bench/process_runs.sh

# The floor's own time per payment too: its fixed part (starting a process, the sync of
# the file) is what a small batch pays most for, whatever payfile does.
declare -A per_payment floor_per_payment
for payments in "${sizes[@]}"; do
  "$build/bin/ordexa_bench" --json "$payments" "$work/batch.json"
  swiss_2019=$((payments > 99999 ? 99999 : payments))
  "$build/bin/ordexa_bench" --json-2019 "$swiss_2019" "$work/batch-2019-ch.json"
  "$build/bin/ordexa_bench" --json-2019 "$payments" "$work/batch-2019.json"
  echo
  echo "$payments payments ($swiss_2019 for the Swiss 2019 file), $reps runs each"
  table_head
  write "--type dta" "$work/batch.json" "$reps" --type dta
  write "--type ezag" "$work/batch.json" "$reps" --type ezag
  write "--type iso --ch" "$work/batch.json" "$reps" --type iso --ch --period 2026-12
  write "--type iso" "$work/batch.json" "$reps" --type iso --period 2026-12
  write "--type iso2019 --ch" "$work/batch-2019-ch.json" "$reps" --type iso2019 --ch --period 2026-12
  write "--type iso2019" "$work/batch-2019.json" "$reps" --type iso2019 --period 2026-12
  echo
  for name in "--type dta" "--type ezag" "--type iso --ch" "--type iso" "--type iso2019 --ch" "--type iso2019"; do
    n=$payments
    [ "$name" = "--type iso2019 --ch" ] && n=$swiss_2019
    us=$(awk -v w="${wall_ms["payfile write $name"]}" -v n="$n" 'BEGIN { printf "%.2f", 1000 * w / n }')
    floor_us=$(awk -v w="${wall_ms["floor of $name"]}" -v n="$n" 'BEGIN { printf "%.2f", 1000 * w / n }')
    per_payment["$name"]="${per_payment["$name"]:-} $payments:$us"
    floor_per_payment["$name"]="${floor_per_payment["$name"]:-} $payments:$floor_us"
    printf '%-34s %s times its floor, %s us per payment (the floor %s)\n' "payfile write $name" \
      "${floor_ratio[$name]}" "$us" "$floor_us"
  done
done
echo
echo "time per payment (us) by batch size"
for name in "--type dta" "--type ezag" "--type iso --ch" "--type iso" "--type iso2019 --ch" "--type iso2019"; do
  printf '%-34s%s\n' "payfile write $name" "${per_payment[$name]}"
  printf '%-34s%s\n' "  its floor" "${floor_per_payment[$name]}"
done
