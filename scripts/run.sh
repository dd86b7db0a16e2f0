#!/usr/bin/env bash
# Installs what is missing, builds Larkvale and starts it.
#   scripts/run.sh          the app, on your own home folder
#   scripts/run.sh --demo   the app on a sample home: a dozen sample apps, with a
#                           local server standing in for their update sources and a
#                           stand-in `brew`, so that a whole check can be watched
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No desktop session here (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  exit 1
fi

dir=build/release
cmake -S . -B "$dir" -G Ninja -DLARKVALE_WERROR=ON >/dev/null
if [ "${1:-}" = "--demo" ]; then
  cmake --build "$dir" --target larkvale_demo
  exec "$dir/tools/demo/larkvale_demo"
fi
cmake --build "$dir" --target larkvale
exec "$dir/app/main/larkvale"
