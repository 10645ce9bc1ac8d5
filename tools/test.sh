#!/usr/bin/env bash
# Installs what is missing, builds with warnings as errors, checks the formatting and runs every
# test; runs each fuzzer briefly; then builds and runs the tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh build -DQUINTARO_WERROR=ON
find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run -Werror
(cd build && ctest --output-on-failure --parallel "$(nproc)" --timeout 900)
bash tools/fuzz.sh 10 2>&1 | grep -E "^Done|ERROR|SUMMARY" | tail -n 6
bash tools/setup.sh build-asan -DQUINTARO_WERROR=ON -DQUINTARO_SANITIZE=ON -DQUINTARO_BENCH=OFF \
  -DCMAKE_BUILD_TYPE=Debug
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --output-on-failure --parallel "$(nproc)" --timeout 1800 -LE slow)
