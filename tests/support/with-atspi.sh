#!/usr/bin/env bash
# Runs a command on a private D-Bus session bus with its own accessibility bus (at-spi2-core), as
# a desktop with a screen reader running has: Qt's applications then expose their accessibility
# tree, and pyatspi reads it as a screen reader would. Run it inside with-x11.sh.
# Usage: with-atspi.sh COMMAND [ARG...]
set -u
here=$(cd "$(dirname "$0")" && pwd)
launcher=/usr/libexec/at-spi-bus-launcher
if [ ! -x "$launcher" ]; then
    echo "with-atspi.sh: $launcher is missing (package at-spi2-core: scripts/install-deps.sh --tests)" >&2
    exit 1
fi
if [ -z "${DOTBANNER_ATSPI_BUS:-}" ]; then
    export DOTBANNER_ATSPI_BUS=1
    exec "$here/with-session-bus.sh" "$0" "$@"
fi

# The accessibility bus keeps its address under the home folder, which each test has its own.
runtime=""
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    runtime=$(mktemp -d)
    export XDG_RUNTIME_DIR="$runtime"
fi
"$launcher" --launch-immediately >/dev/null 2>&1 &
bus=$!
for _ in $(seq 1 200); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1 && break
    sleep 0.05
done
if ! dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null 2>&1; then
    echo "with-atspi.sh: the accessibility bus did not start" >&2
    kill "$bus" 2>/dev/null
    exit 1
fi
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
"$@"
status=$?
kill "$bus" 2>/dev/null
wait "$bus" 2>/dev/null
[ -n "$runtime" ] && rm -rf "$runtime"
exit "$status"
