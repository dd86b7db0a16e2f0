#!/usr/bin/env bash
# Runs clang-format and clang-tidy (the project's .clang-format and .clang-tidy)
# over every source: the libraries, the app, tests, tools, benchmarks and fuzz
# targets.
#   scripts/lint.sh          formats every source in place, then lists clang-tidy's
#                            findings; run it before committing
#   scripts/lint.sh --check  rewrites nothing; fails on any line clang-format would
#                            change and on any clang-tidy finding (CI runs this)
# clang-tidy reads build/release/compile_commands.json and the headers the build
# generated, so build that tree first (scripts/test.sh does). It holds the fuzz
# targets too, built there with the replay driver.
set -euo pipefail
cd "$(dirname "$0")/.."

check=false
case "${1:-}" in
  --check) check=true ;;
  "") ;;
  *) echo "usage: scripts/lint.sh [--check]" >&2; exit 2 ;;
esac

dirs='platform|kit|Pennant|Skirting|app|tests|tools|bench|fuzz'
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' | grep -E "^($dirs)/")
findings=0

if $check; then
  clang-format --dry-run --Werror "${files[@]}" || findings=1
else
  clang-format -i "${files[@]}"
fi

db=build/release
[ -f "$db/compile_commands.json" ] || cmake -S . -B "$db" -G Ninja >/dev/null
# Headers are checked where they live in the tree, never the build's
# generated ones; a header's finding shows once per file that includes it,
# hence the sort -u.
tidy_status=0
report=$(run-clang-tidy -p "$db" -quiet -j "$(nproc)" -header-filter "^$PWD/($dirs)/" \
           "^$PWD/($dirs)/" 2>&1) || tidy_status=$?
if grep -E ': (warning|error): ' <<<"$report" | sort -u | grep .; then
  findings=1
elif [ "$tidy_status" -ne 0 ]; then
  # No diagnostic, yet clang-tidy failed: show everything it said.
  grep -vE '^(clang-tidy|/usr/bin/clang-tidy)' <<<"$report" || true
  findings=1
fi

if $check && [ "$findings" -ne 0 ]; then
  echo "lint: findings above" >&2
  exit 1
fi
