#!/usr/bin/env bash
# Installs what is missing, builds the test suite with AddressSanitizer and
# UndefinedBehaviorSanitizer (in build-tests/) and runs every test headless.
set -eu
cd "$(dirname "$0")"
./scripts/install-deps.sh --tests
cmake -S . -B build-tests -G Ninja -DCMAKE_BUILD_TYPE=Debug -DDOTBANNER_SANITIZE=ON -DDOTBANNER_BENCH=OFF >/dev/null
cmake --build build-tests
ctest --test-dir build-tests --output-on-failure --parallel "$(nproc)" "$@"
