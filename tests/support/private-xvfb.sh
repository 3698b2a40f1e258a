# Sourced by the compositor scripts that nest a compositor in an X server of their own.
# start_private_xvfb WIDTHxHEIGHT starts an Xvfb of that size with no authority file (local
# clients get in, the compositor user's among them), sets `xvfb` to its process id and
# `nested` to its display number, or fails. Needs `fail` and `runtime`.
start_private_xvfb() {
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$runtime/xvfb-display" >/dev/null 2>&1 &
    xvfb=$!
    nested=""
    for _ in $(seq 1 600); do
        nested=$(head -n1 "$runtime/xvfb-display" 2>/dev/null)
        [ -n "$nested" ] && break
        sleep 0.05
    done
    [ -n "$nested" ] || fail "Xvfb did not start"
}
