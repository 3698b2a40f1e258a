#!/usr/bin/env bash
# Runs a command in a private mount namespace where a small, empty tmpfs is mounted at
# $DOTBANNER_SMALL_DISK, so a test can fill a real filesystem to the last byte without
# touching the machine's own. Mounting needs root (CI runs the tests as root); anywhere
# else this says why it cannot run and fails.
# Usage: with-small-disk.sh COMMAND [ARG...]
set -u
if [ -z "${DOTBANNER_IN_SMALL_DISK:-}" ]; then
    if ! unshare --mount --propagation private true 2>/dev/null; then
        echo "with-small-disk.sh: cannot create a private mount namespace (needs root, as in CI):" \
            "the full-disk test cannot run" >&2
        exit 1
    fi
    mountpoint=$(mktemp -d) || exit 1
    export DOTBANNER_IN_SMALL_DISK=1 DOTBANNER_SMALL_DISK="$mountpoint"
    unshare --mount --propagation private -- "$0" "$@"
    status=$?
    rmdir "$mountpoint"
    exit $status
fi
if ! mount -t tmpfs -o size=256k,mode=0700 dotbanner-small-disk "$DOTBANNER_SMALL_DISK"; then
    echo "with-small-disk.sh: cannot mount a tmpfs at $DOTBANNER_SMALL_DISK: the full-disk test cannot run" >&2
    exit 1
fi
exec "$@"
