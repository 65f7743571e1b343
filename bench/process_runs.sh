# Sourced by bench/floor.sh and bench/compare-peer.sh: timing whole processes. Needs
# $work (a scratch folder) and $build (the bench build) set by the caller.
#
# run NAME OUTPUT REPETITIONS COMMAND...: the process REPETITIONS times; prints the median
# wall time (with the fastest and slowest run) and the median peak resident memory, and
# keeps them in wall_ms and rss_kb. The last run's output stays as $work/prepared.
declare -A wall_ms rss_kb floor_ratio
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
  local bytes sorted
  bytes=$(stat -c %s "$output")
  mv -f "$output" "$work/prepared"
  sorted=$(printf '%s\n' "${walls[@]}" | sort -n)
  wall_ms[$name]=$(awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}' <<<"$sorted")
  rss_kb[$name]=$(printf '%s\n' "${rsss[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
  printf '| %-34s | %6s ms (%s-%s) | %9s MB | %14s |\n' "$name" "${wall_ms[$name]}" "$(head -1 <<<"$sorted")" \
    "$(tail -1 <<<"$sorted")" "$((rss_kb[$name] / 1024))" "$bytes"
}

# write NAME BATCH REPETITIONS ARGS...: payfile write, then the floor for the same batch
# and output (ordexa_write_floor), each REPETITIONS times; keeps the ratio of the medians
# in floor_ratio.
write() {
  local name=$1 batch=$2 reps=$3
  shift 3
  run "payfile write $name" "$work/out" "$reps" "$build/bin/payfile" write "$batch" "$@" --out "$work/out"
  run "floor of $name" "$work/out" "$reps" "$build/bin/ordexa_write_floor" "$batch" "$work/prepared" "$work/out"
  floor_ratio[$name]=$(awk -v w="${wall_ms["payfile write $name"]}" -v f="${wall_ms["floor of $name"]}" \
    'BEGIN { printf "%.2f", w / f }')
}

table_head() {
  printf '| %-34s | %21s | %12s | %14s |\n' "process (median of runs)" "wall (fastest-slowest)" "peak memory" \
    "bytes written"
  printf '|%s|%s|%s|%s|\n' "------------------------------------" "----------------------:" "-------------:" \
    "---------------:"
}
