#!/usr/bin/env bash
# Non-blank lines of C++ under tests/ (support code included) against all other tracked
# C++ of the repository, bench/ excluded, and their ratio.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { git ls-files "$@" | grep -E '\.(cpp|h|inc)$' | xargs cat | grep -c -v '^[[:space:]]*$'; }
tests=$(count tests)
code=$(count -- . ':!tests' ':!bench')
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d, code %d non-blank lines: %.2f\n", t, c, t / c }'
