#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds a Debug build (Qt's own assertions on) with AddressSanitizer and
# UndefinedBehaviorSanitizer into build-sanitize/, warnings as errors, and runs the tests there.
# Arguments go to ctest, e.g. -R 'tst_(store|cli)' for a few; only the programs of the tests
# chosen are built. JOTWELL_CMAKE_ARGS adds configure options, as for build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
# shellcheck disable=SC2086 # the options are words
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DJOTWELL_SANITIZE=ON -DJOTWELL_WERROR=ON ${JOTWELL_CMAKE_ARGS:-} >/dev/null
# A test program is named as its test; the programs it runs are its dependencies.
mapfile -t programs < <(cd build-sanitize && ctest -N "$@" | sed -n 's/^ *Test *#[0-9]*: \(tst_[A-Za-z0-9_]*\)$/\1/p')
cmake --build build-sanitize -j"$(nproc)" --target jotwell jotwell-cli "${programs[@]}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
cd build-sanitize
ctest --output-on-failure -j"$(nproc)" "$@"
