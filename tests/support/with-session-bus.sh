#!/usr/bin/env bash
# Runs a command inside a private D-Bus session bus on which no service is started on demand:
# the only services there are those the command registers itself.
# Usage: with-session-bus.sh COMMAND [ARG...]
set -u
for tool in dbus-run-session dbus-daemon; do
    if ! command -v "$tool" >/dev/null; then
        echo "with-session-bus.sh: $tool is missing (package dbus: scripts/install-deps.sh --tests)" >&2
        exit 1
    fi
done
exec dbus-run-session --config-file="$(dirname "$0")/session-bus.conf" -- "$@"
