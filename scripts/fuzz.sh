#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the exchange-file fuzz target with clang (AddressSanitizer, UndefinedBehaviorSanitizer,
# libFuzzer) in build-fuzz/ and runs it for SECONDS (default 300) on the seed corpus.
# New inputs go to build-fuzz/corpus; findings (crash-*, leak-*) to build-fuzz/findings/.
# Usage: scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"

# The sanitizer and libFuzzer runtimes; only this build needs them.
for p in clang libclang-rt-14-dev; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends clang libclang-rt-14-dev
    break
  fi
done

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ -DJOTWELL_FUZZ=ON \
  "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target jotwell-fuzz-exchange
mkdir -p build-fuzz/corpus build-fuzz/findings
# Qt looks for a platform only when a window is made; none is, but keep it quiet anyway.
QT_QPA_PLATFORM=offscreen build-fuzz/jotwell-fuzz-exchange -max_total_time="$seconds" -max_len=65536 \
  -artifact_prefix=build-fuzz/findings/ build-fuzz/corpus tests/fuzz/corpus
