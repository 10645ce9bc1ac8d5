#!/usr/bin/env bash
# Runs clang-tidy (.clang-tidy) over the sources, or over the files named after the build folder,
# with the compile commands of the build folder ($1, default build-asan/, the clang build of
# tools/setup.sh asan). Exits non-zero on any finding, and when clang-tidy or the compile commands
# are missing: a check that cannot run has not passed.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-asan}
shift || true
if ! tidy=$(command -v clang-tidy || command -v clang-tidy-14); then
  echo "tidy: clang-tidy is not installed (bash tools/setup.sh installs it)" >&2
  exit 1
fi
if [[ ! -f $build_dir/compile_commands.json ]]; then
  echo "tidy: no $build_dir/compile_commands.json (bash tools/setup.sh asan makes it)" >&2
  exit 1
fi
# clang's own "N warnings generated." lines say nothing; everything else on standard error stays.
if ! { if (($#)); then printf '%s\0' "$@"; else find src -name '*.cpp' -print0; fi; } |
  xargs -0 -n 4 -P "$(nproc)" "$tidy" -p "$build_dir" --quiet 2> >(grep -v 'warnings\? generated\.$' >&2); then
  echo "tidy: the findings above must be fixed" >&2
  exit 1
fi
echo "tidy: clean"
