#!/bin/bash
# Installs what is missing, builds, and runs the demo from its working directory demo/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/demo"
exec "$root/build/demo"
