#!/usr/bin/env bash
# Installs what is missing, builds Larkvale and runs every test.
#   scripts/test.sh             release build with warnings as errors (build/release)
#   scripts/test.sh --sanitize  clang build with AddressSanitizer, UndefinedBehaviorSanitizer
#                               and the libFuzzer targets (build/sanitize)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

if [ "${1:-}" = "--sanitize" ]; then
  dir=build/sanitize
  config=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
          -DLARKVALE_SANITIZE=ON -DLARKVALE_FUZZ=ON -DLARKVALE_BENCH=OFF)
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  dir=build/release
  config=(-DLARKVALE_WERROR=ON)
fi

cmake -S . -B "$dir" -G Ninja "${config[@]}"
cmake --build "$dir"
ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --timeout 300
