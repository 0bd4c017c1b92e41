# Sourced by with-display.sh, for the tests of the demo's own window: when no X display is set, a virtual
# one (Xvfb) is started for the rest of the script and stopped when it exits.
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
