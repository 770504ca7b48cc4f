#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds a Debug build (Qt's own assertions on) with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/, warnings as errors, and runs the tests there.
# Arguments go to ctest, e.g. -R 'tst_(store|cli)' for a few.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DJOTWELL_SANITIZE=ON -DJOTWELL_WERROR=ON >/dev/null
cmake --build build-sanitize -j"$(nproc)"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
cd build-sanitize
ctest --output-on-failure -j"$(nproc)" "$@"
