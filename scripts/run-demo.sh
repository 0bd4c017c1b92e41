#!/bin/bash
# Installs what is missing, builds, and runs the demo from its working directory demo/.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/demo"
# The allocator asks for transparent huge pages for its large blocks (decoded images, textures, render
# targets): where the kernel gives them only on request, start-up takes about a fifth less time.
export GLIBC_TUNABLES="${GLIBC_TUNABLES:+$GLIBC_TUNABLES:}glibc.malloc.hugetlb=1"
exec "$root/build/demo"
