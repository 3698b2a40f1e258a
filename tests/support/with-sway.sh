#!/usr/bin/env bash
# Runs a command inside a private headless sway session: one 1920x1080 output, XWayland on,
# software rendering, no input devices. sway refuses to run as root, so when this script runs
# as root (as in CI) it starts sway as an unprivileged user it creates for the purpose; the
# command itself keeps running as the caller.
# The command gets WAYLAND_DISPLAY (an absolute path), SWAYSOCK and DISPLAY (XWayland).
# Windows with the app_id "floating-foot" float at 0,0, 600x300, from their first frame.
# With DOTBANNER_SWAY_BACKEND=x11, sway runs instead on its X11 backend inside a private Xvfb,
# with DOTBANNER_SWAY_OUTPUTS (1 or 2) windows of 1280x720 side by side as its outputs
# (X11-1, X11-2) and the Xvfb's pointer and keyboard as its seat; the command also gets
# DOTBANNER_NESTED_DISPLAY, the Xvfb, where xdotool drives that pointer.
# Usage: with-sway.sh COMMAND [ARG...]
set -u

fail() {
    echo "with-sway: $*" >&2
    exit 1
}

for tool in sway swaymsg Xwayland; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps.sh --tests)"
done

runtime=$(mktemp -d /tmp/dotbanner-sway.XXXXXX) || fail "no temporary folder"
chmod 0700 "$runtime"
. "$(dirname "$0")/compositor-user.sh"

backend=(WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_HEADLESS_OUTPUTS=1)
xvfb=""
if [ "${DOTBANNER_SWAY_BACKEND:-headless}" = x11 ]; then
    outputs=${DOTBANNER_SWAY_OUTPUTS:-1}
    case "$outputs" in 1 | 2) ;; *) fail "DOTBANNER_SWAY_OUTPUTS must be 1 or 2" ;; esac
    command -v Xvfb >/dev/null || fail "Xvfb is not installed (scripts/install-deps.sh --tests)"
    . "$(dirname "$0")/private-xvfb.sh"
    trap '[ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null; rm -rf "$runtime"' EXIT
    start_private_xvfb "$((1280 * outputs))x720"
    backend=(WLR_BACKENDS=x11 DISPLAY=":$nested" WLR_X11_OUTPUTS="$outputs")
    export DOTBANNER_NESTED_DISPLAY=":$nested"
fi

cat >"$runtime/config" <<'EOF'
output HEADLESS-1 resolution 1920x1080 position 0 0
output X11-1 resolution 1280x720 position 0 0
output X11-2 resolution 1280x720 position 1280 0
xwayland enable
default_border pixel 2
focus_follows_mouse no
for_window [app_id="floating-foot"] floating enable, resize set 600 300, move position 0 0
EOF
# The first headless output is named after the backend; the resolution also applies when
# sway names it otherwise, through the wildcard.
[ -z "$xvfb" ] && echo 'output * resolution 1920x1080' >>"$runtime/config"

env -i PATH="$PATH" HOME="$runtime" XDG_RUNTIME_DIR="$runtime" \
    "${backend[@]}" WLR_RENDERER=pixman \
    SWAYSOCK="$runtime/sway-ipc.sock" \
    "${run_as[@]}" sway --config "$runtime/config" >"$runtime/sway.log" 2>&1 &
sway=$!

cleanup() {
    kill "$sway" 2>/dev/null
    wait "$sway" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null && wait "$xvfb" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT

export SWAYSOCK="$runtime/sway-ipc.sock"
# A loaded machine can take many seconds to start sway and XWayland: poll for up to 60 s.
ready=""
for _ in $(seq 1 1200); do
    if ! kill -0 "$sway" 2>/dev/null; then
        cat "$runtime/sway.log" >&2
        fail "sway stopped while starting"
    fi
    socket=$(find "$runtime" -maxdepth 1 -name 'wayland-*' -type s -print -quit)
    if [ -n "$socket" ] && [ -S "$SWAYSOCK" ] && swaymsg -t get_outputs >/dev/null 2>&1; then
        ready=1
        break
    fi
    sleep 0.05
done
[ -n "$ready" ] || { cat "$runtime/sway.log" >&2; fail "sway did not start"; }

# sway gives its children DISPLAY for its XWayland server; ask one of them for it.
swaymsg exec "echo \$DISPLAY > $runtime/display" >/dev/null || fail "swaymsg exec failed"
display=""
for _ in $(seq 1 1200); do
    display=$(cat "$runtime/display" 2>/dev/null)
    [ -n "$display" ] && [ -S "/tmp/.X11-unix/X${display#:}" ] && break
    display=""
    sleep 0.05
done
[ -n "$display" ] || { cat "$runtime/sway.log" >&2; fail "XWayland did not start"; }

if [ -n "$xvfb" ] && [ "$outputs" = 2 ]; then
    # wlroots opens both output windows at 0,0 of the Xvfb: the second (made last, the higher
    # id) goes beside the first, where the pointer reaches it as sway lays them out.
    command -v xdotool >/dev/null || fail "xdotool is not installed (scripts/install-deps.sh --tests)"
    second=$(DISPLAY=":$nested" xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p' |
        while read -r id; do printf '%d\n' "$id"; done | sort -n | tail -n1)
    [ -n "$second" ] && DISPLAY=":$nested" xdotool windowmove "$second" 1280 0 || fail "cannot place X11-2"
fi

export WAYLAND_DISPLAY="$socket"
export DISPLAY="$display"
"$@"
status=$?
exit $status
