#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages Dotbanner needs to build, run and test,
# skipping those already present. Uses sudo when not run as root.
set -eu

build_packages="g++ cmake ninja-build pkg-config ccache qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-l10n-tools qtkeychain-qt6-dev
  qcoro-qt6-dev libxcb1-dev libxcb-ewmh-dev libxcb-shm0-dev libxcb-present-dev libxcb-xfixes0-dev libxcb-sync-dev libx11-dev fonts-dejavu-core libwayland-dev wayland-protocols"
run_packages="libsecret-1-0 tzdata"
package_packages="dpkg-dev fakeroot file lintian"
bench_packages="libbenchmark-dev"
test_packages="xvfb openbox dbus dbus-x11 gnome-keyring libsecret-tools x11-utils xterm trayer libxtst6 clang libclang-rt-14-dev
  sway grim xwayland foot mutter xdotool adwaita-icon-theme at-spi2-core python3-pyatspi"

want="$build_packages $run_packages"
case "${1:-}" in
--tests) want="$want $test_packages" ;;
--package) want="$want $package_packages" ;;
--bench) want="$want $bench_packages" ;;
esac

missing=""
for package in $want; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done
[ -z "$missing" ] && exit 0

echo "Installing:$missing"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
# shellcheck disable=SC2086
$sudo apt-get install -y -qq --no-install-recommends $missing
