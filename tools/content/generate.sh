#!/bin/bash
# Regenerates every content file of the demo from its generator: the sky images, the soundtrack, the icon
# and, where its generator is present, the house model with its textures. Fixed seeds make the
# output identical byte for byte on every run.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
python=/usr/bin/python3
"$python" "$here/make_sky.py"
"$python" "$here/make_soundtrack.py"
"$python" "$here/make_icon.py"
if [ -f "$here/make_house.py" ]; then
    "$python" "$here/make_house.py"
fi
