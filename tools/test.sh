#!/usr/bin/env bash
# Installs what is missing, builds with GCC (warnings as errors), checks the layering and the
# formatting, runs every test; runs each fuzzer briefly; then builds with clang under
# AddressSanitizer and UndefinedBehaviorSanitizer, runs the tests again, the threaded layers' tests
# under ThreadSanitizer, and clang-tidy.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh release
bash tools/layers.sh
bash tools/namen.sh
find src tests bench fuzz \( -name '*.cpp' -o -name '*.h' \) -print0 |
  xargs -0 clang-format --dry-run -Werror
ctest --preset release --parallel "$(nproc)"
bash tools/fuzz.sh 10 2>&1 | grep -E "^Done|ERROR|SUMMARY" | tail -n 6
bash tools/setup.sh asan
ctest --preset asan --parallel "$(nproc)"
# The layers that run threads, under ThreadSanitizer: any report fails the run.
cmake --preset tsan > /dev/null
cmake --build --preset tsan --target quintaro_document_tests quintaro_batch_tests
for t in document batch; do
  TSAN_OPTIONS=halt_on_error=1 "build-tsan/tests/$t/quintaro_${t}_tests" --gtest_brief=1
done
# clang-tidy reads the clang build's compile commands.
bash tools/tidy.sh build-asan
