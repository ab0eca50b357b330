#!/usr/bin/env bash
# Regenerates the BASIC benchmark table in README.md from a run of basic-bench on the built
# ROM: the rows between the two marker comments are replaced.
#   tools/update-bench-table.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
table=$("$build/tools/basic-bench" "$build/runtime" "$build/firmware/basic.map" --markdown)
awk -v table="$table" '
  /<!-- benchmark table -->/ { print; print table; skip = 1; next }
  /<!-- end of benchmark table -->/ { skip = 0 }
  !skip { print }
' README.md > README.md.new
mv README.md.new README.md
