#!/usr/bin/env bash
# Writes the README's pictures of the settings window (French and English) from a built
# program: a private Xvfb screen with openbox, a fresh configuration folder, web services
# pointed at a closed local port so nothing leaves the machine.
# Usage: scripts/settings-screenshots.sh [BUILD_DIR]   (default: build)
set -eu
cd "$(dirname "$0")/.."
build=${1:-build}
exec tests/support/with-x11.sh bash -c '
set -eu
build=$1
shoot() { # LANG OUTPUT
    home=$(mktemp -d)
    mkdir -p "$home/config/dotbanner"
    # Not a first launch: the window opens on the second start, as a user sees it later.
    printf true > "$home/config/dotbanner/didShowSettingsOnce"
    export XDG_CONFIG_HOME=$home/config HOME=$home LANG=$1 LANGUAGE= LC_ALL=
    export DOTBANNER_YAHOO_URL=http://127.0.0.1:9 DOTBANNER_TWELVEDATA_URL=http://127.0.0.1:9 \
           DOTBANNER_WEATHERAPI_URL=http://127.0.0.1:9 DOTBANNER_METALSDEV_URL=http://127.0.0.1:9
    # The default news feeds go through a proxy that does not exist, and no keyring is asked.
    export http_proxy=http://127.0.0.1:9 https_proxy=http://127.0.0.1:9 no_proxy=127.0.0.1 \
           DBUS_SESSION_BUS_ADDRESS=unix:path=/nonexistent/dotbanner-screenshots-bus
    "$build/dotbanner" >/dev/null 2>&1 &
    pid=$!
    sleep 3
    "$build/dotbanner" >/dev/null 2>&1 || true
    window=""
    for _ in $(seq 1 100); do
        window=$(xdotool search --name "Dotbanner" 2>/dev/null | while read -r w; do
            case "$(xdotool getwindowname "$w")" in *glages*|*Settings*) echo "$w";; esac; done | head -n1)
        [ -n "$window" ] && break
        sleep 0.1
    done
    sleep 1
    import -window "$window" -frame "$2"
    kill "$pid"; wait "$pid" 2>/dev/null || true
    rm -rf "$home"
}
shoot fr_FR.UTF-8 docs/screenshot-settings.png
shoot en_US.UTF-8 docs/screenshot-settings-en.png
' screenshots "$build"
