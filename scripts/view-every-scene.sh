#!/usr/bin/env bash
# Shows every LightWave scene under a folder in the viewer, two frames each, and --info for each:
# prints each summary line, and every scene the viewer failed on. Exit status 1 if any failed.
# Usage: scripts/view-every-scene.sh [SCENE_FOLDER] [VIEWER]  (run under scripts/with-display.sh)
set -uo pipefail
folder=${1:-../shared/lws}
viewer=${2:-build/brackmoor-view}
picture=$(mktemp --suffix=.png)
trap 'rm -f "$picture"' EXIT
failed=0
count=0
while IFS= read -r -d '' scene; do
    count=$((count + 1))
    if ! line=$("$viewer" "$scene" --frames 2 --screenshot "$picture" 2>/dev/null); then
        echo "FAILED: $scene"
        failed=$((failed + 1))
        continue
    fi
    if ! "$viewer" "$scene" --info > /dev/null 2>&1; then
        echo "FAILED --info: $scene"
        failed=$((failed + 1))
        continue
    fi
    echo "$line"
done < <(find "$folder" -type f \( -iname '*.lws' -o -exec sh -c 'head -c 4 "$1" | grep -q LWSC' _ {} \; \) -print0 | sort -z)
echo "$count scenes, $failed failed"
[ "$failed" -eq 0 ]
