#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, then configures and builds into build/. JOTWELL_CMAKE_ARGS adds
# configure options, e.g. -DJOTWELL_DEBUG_INFO=1.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
# shellcheck disable=SC2086 # the options are words
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo ${JOTWELL_CMAKE_ARGS:-} >/dev/null
cmake --build build -j"$(nproc)"
