#!/usr/bin/env bash
# Installs what the build needs on Debian 12 (idempotent: apt runs only when something is missing)
# and configures + builds the CMake preset named as $1 (default release, into build/); further
# arguments go to the configure step (-DNAME=VALUE).
set -euo pipefail
cd "$(dirname "$0")/.."

source tools/pakete.sh
pakete_installieren g++ clang clang-format clang-tidy libclang-rt-14-dev cmake ninja-build pkg-config \
  qt6-base-dev libqt6svg6 libqscintilla2-qt6-dev libgtest-dev libgmock-dev libbenchmark-dev \
  libgumbo-dev python3-html5lib xvfb xauth openbox x11-utils qt6-translations-l10n \
  libqscintilla2-qt6-l10n desktop-file-utils appstream nodejs node-acorn python3-tinycss2 patch

preset=${1:-release}
cmake --preset "$preset" "${@:2}" > /dev/null
# QUINTARO_ZIEL names a single target to build (the program, for tools/run.sh); default all.
cmake --build --preset "$preset" --parallel "$(nproc)" ${QUINTARO_ZIEL:+--target "$QUINTARO_ZIEL"}
