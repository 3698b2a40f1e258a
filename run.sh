#!/usr/bin/env bash
# Installs what is missing, builds Dotbanner (release, in build/) and starts it.
# Arguments are passed on to the program, e.g. ./run.sh --two-lines
set -eu
cd "$(dirname "$0")"
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DDOTBANNER_TESTS=OFF >/dev/null
cmake --build build
exec ./build/dotbanner "$@"
