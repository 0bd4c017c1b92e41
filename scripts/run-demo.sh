#!/bin/bash
# Installs what is missing, builds, and runs the demo from its working directory demo/. Arguments go to the
# demo (build/demo --help lists them).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
# Checked first: without a display the demo cannot open its window, and installing and building would only
# lead up to that.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    cat >&2 <<'MESSAGE'
No display: neither DISPLAY nor WAYLAND_DISPLAY is set, so the demo has no screen to open its window on.
- On a machine without a screen, run it in a virtual X server: xvfb-run -a scripts/run-demo.sh
- To get pictures or a video of the flight without a window of your own, build (scripts/build.sh) and use
  the tools, from demo/:
      ../build/tools/capture --times 0,30,90 --out /tmp/frames
      ../build/tools/record --out /tmp/flight.mp4 ...   (../build/tools/record --help lists the options)
MESSAGE
    exit 1
fi
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
cd "$root/demo"
# The allocator asks for transparent huge pages for its large blocks (decoded images, textures, render
# targets): where the kernel gives them only on request, start-up takes about a fifth less time.
export GLIBC_TUNABLES="${GLIBC_TUNABLES:+$GLIBC_TUNABLES:}glibc.malloc.hugetlb=1"
exec "$root/build/demo" "$@"
