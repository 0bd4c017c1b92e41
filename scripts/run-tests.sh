#!/bin/bash
# Installs what is missing, builds, and runs every test. GL and end-to-end tests need an X display:
# when none is set, a virtual one (Xvfb) is started for the run and stopped afterwards.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/build"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
if [ -z "${DISPLAY:-}" ]; then
    # The server picks a free display number itself, so parallel runs on one machine cannot collide.
    displayfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayfile" 2>/dev/null &
    xvfb=$!
    trap 'kill $xvfb 2>/dev/null; rm -f "$displayfile"' EXIT
    for _ in $(seq 100); do
        [ -s "$displayfile" ] && break
        sleep 0.1
    done
    export DISPLAY=:$(head -n1 "$displayfile")
fi
ctest --output-on-failure "$@"
