#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, and starts the program; arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/build.sh
exec ./build/jotwell "$@"
