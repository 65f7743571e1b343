#!/usr/bin/env bash
# Runs every fuzz harness of a fuzz build over its seed corpus (tests/fuzz/corpus/<name>)
# and then for a fixed number of runs or seconds. New inputs go to <build>/corpus/<name>,
# inputs that fail to <build>/artifacts/; the seed corpora in the repository are not touched.
#   run-fuzzers.sh <build> runs <N>      CI: N runs each (the whole-batch harness N/5)
#   run-fuzzers.sh <build> seconds <S>   longer: S seconds each
set -euo pipefail
build=$(cd "${1:?fuzz build folder}" && pwd)  # absolute: a harness may change its folder
mode=${2:?runs or seconds}
amount=${3:?count}
seeds="$(cd "$(dirname "$0")" && pwd)/corpus"

harnesses=("$build"/bin/fuzz_*)
[ -e "${harnesses[0]}" ] || { echo "no harnesses in $build/bin" >&2; exit 1; }
mkdir -p "$build/artifacts"
for harness in "${harnesses[@]}"; do
  name=${harness##*/fuzz_}
  work="$build/corpus/$name"
  mkdir -p "$work" "$seeds/$name"
  case "$mode" in
    runs)
      runs=$amount
      # The whole-batch harness writes four files per run.
      [ "$name" = batch ] && runs=$((amount / 5))
      limit=(-runs="$runs") ;;
    seconds) limit=(-max_total_time="$amount") ;;
    *) echo "unknown mode $mode" >&2; exit 2 ;;
  esac
  dictionary=()
  [ -f "$seeds/../$name.dict" ] && dictionary=(-dict="$seeds/../$name.dict")
  echo "== fuzz_$name ${limit[*]}"
  start=$(date +%s)
  "$harness" "${limit[@]}" "${dictionary[@]}" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$name-" "$work" "$seeds/$name" 2>"$build/fuzz_$name.log" || {
    tail -n 60 "$build/fuzz_$name.log" >&2
    echo "fuzz_$name failed; the input is in $build/artifacts/" >&2
    exit 1
  }
  grep -E "stat::number_of_executed_units|stat::new_units_added" "$build/fuzz_$name.log" | tr '\n' ' '
  echo "($(( $(date +%s) - start )) s)"
done
