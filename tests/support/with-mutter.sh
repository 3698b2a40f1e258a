#!/usr/bin/env bash
# Runs a command inside a private GNOME-like Wayland session: mutter as a nested Wayland
# compositor (1920x1080) in a private Xvfb, with its XWayland server and a private D-Bus
# session. Like sway, it is run as an unprivileged user that this script creates when it runs
# as root (as in CI); the command itself keeps running as the caller.
# The command gets WAYLAND_DISPLAY (an absolute path), DISPLAY and XAUTHORITY (mutter's
# XWayland) and DOTBANNER_NESTED_DISPLAY (the Xvfb screen that shows mutter's output).
# Usage: with-mutter.sh COMMAND [ARG...]
set -u

fail() {
    echo "with-mutter: $*" >&2
    exit 1
}

for tool in mutter Xvfb Xwayland dbus-run-session xprop setsid; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh --tests)"
done

runtime=$(mktemp -d /tmp/dotbanner-mutter.XXXXXX) || fail "no temporary folder"
chmod 0700 "$runtime"
xvfb=""
mutter=""
cleanup() {
    # mutter, its D-Bus daemon and its XWayland share one process group.
    [ -n "$mutter" ] && kill -- -"$mutter" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    # mutter leaves the locks and sockets of its two X displays behind when it is killed.
    local n pid
    for n in $(sed -n 's/.*Using public X11 display :\([0-9]*\), (using :\([0-9]*\) for.*/\1 \2/p' \
        "$runtime/mutter.log" 2>/dev/null); do
        pid=$(tr -d ' ' 2>/dev/null <"/tmp/.X$n-lock")
        if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then
            rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
        fi
    done
    rm -rf "$runtime"
}
trap cleanup EXIT

. "$(dirname "$0")/compositor-user.sh"

. "$(dirname "$0")/private-xvfb.sh"
start_private_xvfb 1920x1080

# The nested output takes the size of the debugging mode it is given, 800x600 without one.
setsid env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" DISPLAY=":$nested" \
    MUTTER_DEBUG_DUMMY_MODE_SPECS=1920x1080 \
    "${run_as[@]}" dbus-run-session -- mutter --nested --wayland >"$runtime/mutter.log" 2>&1 &
mutter=$!

# A loaded machine can take many seconds to start mutter and XWayland: poll for up to 60 s.
ready=""
for _ in $(seq 1 1200); do
    if ! kill -0 "$mutter" 2>/dev/null; then
        cat "$runtime/mutter.log" >&2
        fail "mutter stopped while starting"
    fi
    socket=$(find "$runtime" -maxdepth 1 -name 'wayland-*' -type s -print -quit)
    display=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$runtime/mutter.log" | head -n1)
    auth=$(find "$runtime" -maxdepth 1 -name '.mutter-Xwaylandauth.*' -print -quit)
    # Ready once mutter manages XWayland's screen: its check window is on the root.
    if [ -n "$socket" ] && [ -n "$display" ] && [ -n "$auth" ] &&
        DISPLAY="$display" XAUTHORITY="$auth" xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null |
        grep -q 'window id'; then
        ready=1
        break
    fi
    sleep 0.05
done
[ -n "$ready" ] || { cat "$runtime/mutter.log" >&2; fail "mutter or its XWayland did not start"; }

export WAYLAND_DISPLAY="$socket"
export DISPLAY="$display"
export XAUTHORITY="$auth"
export DOTBANNER_NESTED_DISPLAY=":$nested"
"$@"
status=$?
exit $status
