#!/bin/bash
# Runs a command with an X display: the one set, or else a virtual one (Xvfb) started for it alone and
# stopped after it. The tests of the demo's own window run through this; everything else runs headless.
set -u
source "$(dirname "$0")/x-display.sh"
"$@"
