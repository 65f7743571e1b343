#!/usr/bin/env bash
# Repeatable figures for a change: instructions executed (callgrind) by `payfile write` of
# a realistic 20,000-payment batch per format, and the peak resident memory of the whole
# process for 100,000 payments. Instruction counts do not depend on the machine's load.
#   bench/profile.sh [BUILD_DIR]     (default build-bench, as `make bench` builds it)
set -euo pipefail
build=${1:-build-bench}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bin/ordexa_bench" --json 20000 "$work/small.json"
"$build/bin/ordexa_bench" --json 100000 "$work/large.json"
formats=("dta:--type dta" "ezag:--type ezag" "iso-ch:--type iso --ch" "iso:--type iso")
printf '%-8s %16s %16s %14s\n' format "Ir (20k)" "Ir/payment" "max RSS (100k)"
for entry in "${formats[@]}"; do
  name=${entry%%:*}
  args=${entry#*:}
  # shellcheck disable=SC2086
  valgrind --tool=callgrind --callgrind-out-file="$work/cg.$name" "$build/bin/payfile" write "$work/small.json" \
    $args --period 2026-12 --out "$work/out.$name" >/dev/null 2>"$work/cg.log"
  ir=$(grep -m1 '^summary:' "$work/cg.$name" | awk '{print $2}')
  # shellcheck disable=SC2086
  /usr/bin/time -v "$build/bin/payfile" write "$work/large.json" $args --period 2026-12 --out "$work/big.$name" \
    2>"$work/time.log" >/dev/null
  rss=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.log")
  printf '%-8s %16s %16s %11s KB\n' "$name" "$ir" "$((ir / 20000))" "$rss"
  rm -f "$work/big.$name" "$work/out.$name"
done
if [ -n "${KEEP_PROFILE:-}" ]; then cp "$work"/cg.* "$KEEP_PROFILE"/; fi
