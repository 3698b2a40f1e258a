#!/usr/bin/env bash
# Builds Dotbanner for release (no tests, no benchmarks) in build-package/, linked with
# Debian's hardening flags, and makes the Debian package of it with CPack. The last line printed is
# the package's path: install it with `sudo apt-get install ./dotbanner_*.deb`.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --package
root=$(pwd)
tree=$root/build-package
# The compile flags stay those of ./run.sh so the compiler cache serves both trees.
cmake -S . -B "$tree" -G Ninja -DCMAKE_BUILD_TYPE=Release -DDOTBANNER_TESTS=OFF -DDOTBANNER_BENCH=OFF \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$tree"
rm -f "$tree"/dotbanner_*.deb
(cd "$tree" && cpack -G DEB >/dev/null)
package=$(ls "$tree"/dotbanner_*.deb)
[ -f "$package" ]
echo "$package"
