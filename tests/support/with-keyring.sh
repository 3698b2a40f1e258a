#!/usr/bin/env bash
# Runs a command inside a private D-Bus session with an unlocked gnome-keyring that
# offers the Secret Service, in throw-away HOME and runtime folders. The command sees
# the daemon's process id in DOTBANNER_KEYRING_PID.
# Usage: with-keyring.sh COMMAND [ARG...]
set -u
if [ -z "${DOTBANNER_IN_KEYRING_SESSION:-}" ]; then
    export DOTBANNER_IN_KEYRING_SESSION=1
    exec dbus-run-session -- "$0" "$@"
fi
tmp=$(mktemp -d)
export HOME="$tmp/home" XDG_RUNTIME_DIR="$tmp/run" XDG_DATA_HOME="$tmp/home/.local/share"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" "$XDG_DATA_HOME"
chmod 700 "$XDG_RUNTIME_DIR"
eval "$(echo -n throwaway | gnome-keyring-daemon --unlock --components=secrets 2>/dev/null)" || true
export GNOME_KEYRING_CONTROL

# The daemon detaches and claims its bus name a moment later. Wait for it: a client that
# came first would have the bus start a second, locked keyring daemon.
keyring_pid=
for _ in $(seq 1 100); do
    keyring_pid=$(dbus-send --session --print-reply=literal --dest=org.freedesktop.DBus /org/freedesktop/DBus \
        org.freedesktop.DBus.GetConnectionUnixProcessID string:org.freedesktop.secrets 2>/dev/null |
        awk '{print $2}')
    [ -n "$keyring_pid" ] && break
    sleep 0.05
done
if [ -z "$keyring_pid" ]; then
    echo "with-keyring.sh: gnome-keyring did not offer the Secret Service" >&2
    rm -rf "$tmp"
    exit 1
fi
export DOTBANNER_KEYRING_PID="$keyring_pid"

"$@"
status=$?
kill -CONT "$keyring_pid" 2>/dev/null
kill "$keyring_pid" 2>/dev/null
rm -rf "$tmp"
exit $status
