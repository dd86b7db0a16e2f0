#!/usr/bin/env bash
# Builds the release tree and renders the registered widgets offscreen to
# PNG files under build/screenshots/ (a light and a dark one each).
#   scripts/screenshots.sh            every shot
#   scripts/screenshots.sh catalogue  only shots whose name contains the word
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

dir=build/release
cmake -S . -B "$dir" -G Ninja -DLARKVALE_WERROR=ON
cmake --build "$dir" --target larkvale_screenshots
QT_QPA_PLATFORM=offscreen "$dir/tools/screenshots/larkvale_screenshots" build/screenshots "${1:-}"
