# Sourced by the compositor scripts. sway and mutter refuse to run as root, so when the caller
# is root (as in CI) the compositor runs as an unprivileged user made for the purpose, and the
# private folder `runtime` is handed to it. Sets `run_as`: the command prefix that starts a
# program as that user (empty when the caller is not root). Needs `fail` and `runtime`.
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    user=dotbanner-sway
    if ! id "$user" >/dev/null 2>&1; then
        # Several tests may start at once: the lock keeps them from adding the user twice.
        flock /tmp/dotbanner-sway-user.lock sh -c \
            "id $user >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin $user" ||
            fail "cannot create the user $user"
    fi
    chown "$user" "$runtime" || fail "cannot hand $runtime to $user"
    run_as=(setpriv --reuid="$user" --regid="$user" --clear-groups --)
fi
