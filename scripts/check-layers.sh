#!/usr/bin/env bash
# Fails when a source file includes a header of a layer above its own. Layers, bottom to
# top; the three writers share one rank and must not include each other. include/ (what a
# client compiles against) may be used by every layer.
set -euo pipefail
cd "$(dirname "$0")/.."

layers=(platform failure format xml records "dta ezag iso iso2019" model com)

rank_of() {
  local i
  for i in "${!layers[@]}"; do
    for name in ${layers[$i]}; do
      [ "$name" = "$1" ] && { echo "$i"; return; }
    done
  done
  echo ""
}

status=0
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do
    [ -d "$folder" ] || continue
    while IFS= read -r hit; do
      file=${hit%%:*}
      target=$(sed -E 's/.*#include "([^"/]+)\/.*/\1/' <<<"$hit")
      [ "$target" = "$hit" ] && continue   # a header without a folder: include/ or the SDK
      target_rank=$(rank_of "$target")
      if [ -z "$target_rank" ]; then
        echo "$file: includes \"$target/...\", which is not a layer of the component" >&2
        status=1
      elif [ "$target_rank" -gt "$i" ] || { [ "$target_rank" -eq "$i" ] && [ "$target" != "$folder" ]; }; then
        echo "$file: includes \"$target/...\" from a layer at or above $folder" >&2
        status=1
      fi
    done < <(grep -rnE '^\s*#\s*include\s+"[^"]+/' "$folder" --include='*.h' --include='*.cpp' --include='*.inc' || true)
  done
done
[ $status -eq 0 ] && echo "layers: no upward include"
exit $status
