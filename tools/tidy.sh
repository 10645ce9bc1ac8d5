#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the sources with the compile commands of the build folder
# ($1, default build-asan/, the clang build of tools/setup.sh asan). Exits non-zero on any finding.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-asan}
tidy=$(command -v clang-tidy || command -v clang-tidy-14)
find src -name '*.cpp' -print0 |
  xargs -0 -n 4 -P "$(nproc)" "$tidy" -p "$build_dir" --quiet 2> /dev/null
echo "tidy: clean"
