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
    exec xvfb-run -a -s "-screen 0 1024x768x24" ctest --output-on-failure "$@"
fi
exec ctest --output-on-failure "$@"
