#!/usr/bin/env bash
# Formats every source in place and runs clang-tidy's bug-finding checks.
# Run before committing.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
clang-format -i "${files[@]}"
[ -f build/release/compile_commands.json ] || cmake -S . -B build/release -G Ninja >/dev/null
run-clang-tidy -p build/release -quiet -j "$(nproc)" '^'"$PWD"'/(platform|kit|Pennant|Skirting|app|tests)/' \
  | grep -E 'warning:|error:' || true
