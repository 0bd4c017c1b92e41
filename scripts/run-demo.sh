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
- The tools need no display: without one they render headless (EGL), from any folder. Build them
  (scripts/build.sh), then for instance:
      build/tools/capture --times 0,30,90 --out /tmp/frames      pictures of the flight
      build/tools/record --out /tmp/flight.mp4 --from 20 --to 30  a video with its sound
      build/tools/benchmark --json /tmp/bench.json               frame and pass times
      build/tools/soak                                           the whole flight, checked
  (--help on each lists its options.)
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
