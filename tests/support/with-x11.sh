#!/usr/bin/env bash
# Runs a command on a private Xvfb screen (1920x1080, or DOTBANNER_X11_SCREEN such as
# 1366x768x24) with the openbox window manager.
# Usage: with-x11.sh COMMAND [ARG...]
set -u
fdfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 "${DOTBANNER_X11_SCREEN:-1920x1080x24}" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 1 600); do
    [ -s "$fdfile" ] && break
    sleep 0.05
done
display=$(head -n1 "$fdfile")
rm -f "$fdfile"
if [ -z "$display" ]; then
    echo "with-x11: Xvfb did not start" >&2
    kill "$xvfb" 2>/dev/null
    exit 1
fi
export DISPLAY=":$display"
unset WAYLAND_DISPLAY
# Wait until the window manager owns the screen: its check window must exist and point to
# itself. On a loaded machine openbox can take several seconds to start, so allow 30. An
# openbox that quits at once (seldom, when many screens start together) is started again.
wm_ready() {
    local id
    id=$(xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | sed -n 's/.*window id # \(0x[0-9a-fA-F]*\).*/\1/p')
    [ -n "$id" ] && xprop -id "$id" _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "$id"
}
wmlog=$(mktemp)
for attempt in 1 2 3; do
    openbox --sm-disable >"$wmlog" 2>&1 &
    wm=$!
    for _ in $(seq 1 600); do
        wm_ready && break
        kill -0 "$wm" 2>/dev/null || break
        sleep 0.05
    done
    wm_ready && break
    echo "with-x11: openbox did not start (attempt $attempt):" >&2
    cat "$wmlog" >&2
    kill "$wm" 2>/dev/null
    wait "$wm" 2>/dev/null
done
rm -f "$wmlog"
if ! wm_ready; then
    echo "with-x11: openbox did not start" >&2
    kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    exit 1
fi
"$@"
status=$?
kill "$wm" 2>/dev/null
kill "$xvfb" 2>/dev/null
wait 2>/dev/null
exit $status
