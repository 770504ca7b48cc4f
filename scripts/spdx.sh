#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that every tracked source file names its licence in its first line (after a #! line):
#   // SPDX-License-Identifier: GPL-3.0-or-later     (C++)
#   # SPDX-License-Identifier: GPL-3.0-or-later      (CMake, shell, Python)
# Lists the files that lack it and fails. With --add, puts the line into those files instead.
# Usage: scripts/spdx.sh [--add]
set -euo pipefail
cd "$(dirname "$0")/.."
tag="SPDX-License-Identifier: GPL-3.0-or-later"
add=false
[ "${1:-}" = "--add" ] && add=true

missing=0
while IFS= read -r file; do
  case "$file" in
    *.cpp | *.h | *.h.in) line="// $tag" ;;
    *.cmake | */CMakeLists.txt | CMakeLists.txt | *.sh | *.py) line="# $tag" ;;
    *) continue ;;
  esac
  first=$(head -n 1 "$file")
  [[ "$first" == "#!"* ]] && first=$(sed -n 2p "$file")
  [ "$first" = "$line" ] && continue
  if $add; then
    if [[ "$(head -n 1 "$file")" == "#!"* ]]; then
      sed -i "1a $line" "$file"
    else
      sed -i "1i $line" "$file"
    fi
  else
    echo "no licence line: $file"
    missing=$((missing + 1))
  fi
done < <(git ls-files)

if [ "$missing" -gt 0 ]; then
  echo "$missing source files lack the line \"$tag\" (scripts/spdx.sh --add puts it in)" >&2
  exit 1
fi
