#!/usr/bin/env bash
# Fails when a source includes a file of a folder above its own. Each row
# names a folder and the folders its files may include (its own, and what
# lies below it). The first row whose folder holds the file decides.
set -euo pipefail
cd "$(dirname "$0")/.."

app_core='app/[^/]+\.h'
below_model="$app_core|kit|platform"
fakes='tests/support/(FakeServices|FutureWait|TempDir|TestServer)\.h'
rules=(
  "platform/          platform"
  "kit/               kit|platform"
  "Pennant/view/      Pennant|platform"
  "Pennant/           Pennant/[^/]+\.h|platform"
  "Skirting/          Skirting|platform"
  "app/model/         app/model|$below_model"
  "app/desktop/       app/desktop|app/model|$below_model"
  "app/ui/            app/ui|Pennant|$below_model"
  "app/window/        app/window|app/ui|app/model|Pennant|$below_model"
  "app/screens/updates/   app/screens/updates|app/window|app/ui|app/model|Pennant|$below_model"
  "app/screens/movingday/ app/screens/movingday|app/window|app/ui|app/model|Pennant|$below_model"
  "app/screens/       app/screens|app/window|app/ui|app/model|Pennant|$below_model"
  "app/shell/         app/shell|app/screens|app/window|app/ui|app/model|Pennant|Skirting|$below_model"
  "app/wiring/        app/wiring|app/shell|app/screens|app/window|app/ui|app/desktop|app/model|Pennant|Skirting|$below_model"
  "app/main/          app|Pennant|Skirting|kit|platform"
  "app/               $below_model"
  "tools/             tools|app|Pennant|Skirting|kit|platform|$fakes"
  "bench/             bench|tools|app|Pennant|Skirting|kit|platform|$fakes"
  "fuzz/              fuzz|Pennant|kit|platform"
)

status=0
while IFS= read -r file; do
  for rule in "${rules[@]}"; do
    read -r folder allowed <<<"$rule"
    [[ $file == "$folder"* ]] || continue
    while IFS= read -r line; do
      target=${line#*\"}
      target=${target%\"*}
      # Includes of a file's own neighbours (no folder) and system headers pass.
      [[ $target == */* ]] || continue
      if ! [[ $target =~ ^($allowed)(/|$) ]]; then
        echo "$file includes $target, which lies above it"
        status=1
      fi
    done < <(grep -E '^#include "' "$file" || true)
    break
  done
done < <(git ls-files '*.cpp' '*.h' | grep -v '^tests/')
exit $status
