#!/usr/bin/env bash
# Runs a command on the current display, or under a virtual X server when there is none.
# -noreset: the server does not restart when its last client leaves, which would refuse a test
# that connects at that moment.
set -euo pipefail
export LIBGL_ALWAYS_SOFTWARE=1
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp -noreset" "$@"
