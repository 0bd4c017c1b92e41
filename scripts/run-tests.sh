#!/bin/bash
# Installs what is missing, builds, and runs every test; then the same again, with the fuzz targets, under
# the sanitizers (scripts/run-sanitized-tests.sh; SANITIZERS=0 leaves that out). Extra arguments go to both
# ctest runs.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
(cd "$root/build" && ctest --output-on-failure "$@")
if [ "${SANITIZERS:-1}" != 0 ]; then
    "$root/scripts/run-sanitized-tests.sh" "$@"
fi
