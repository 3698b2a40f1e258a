#!/usr/bin/env bash
# Runs a command inside a private D-Bus session with an unlocked gnome-keyring that
# offers the Secret Service, in throw-away HOME and runtime folders.
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
"$@"
status=$?
pkill -u "$(id -u)" -f "gnome-keyring-daemon.*--components=secrets" -P $$ 2>/dev/null
rm -rf "$tmp"
exit $status
