#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (idempotent: apt runs only when something is missing)
# and configures + builds into build/ (or the folder given as $1 with extra CMake args after it).
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/pakete.sh
pakete_installieren g++ clang clang-format libclang-rt-14-dev cmake ninja-build pkg-config \
  qt6-base-dev libqt6svg6 libqscintilla2-qt6-dev libgtest-dev libgmock-dev libbenchmark-dev \
  libgumbo-dev \
  xvfb xauth

build_dir=${1:-build}
shift || true
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" > /dev/null
# QUINTARO_ZIEL names a single target to build (the program, for tools/run.sh); default all.
cmake --build "$build_dir" --parallel "$(nproc)" ${QUINTARO_ZIEL:+--target "$QUINTARO_ZIEL"}
