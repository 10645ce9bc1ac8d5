#!/usr/bin/env bash
# Builds the INI/settings fuzzer with clang (ASan + UBSan + libFuzzer) in build-fuzz and runs it,
# 30 seconds by default or as many as $1 says. Needs clang and libclang-rt-14-dev (tools/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake --preset fuzz > /dev/null
cmake --build --preset fuzz --target quintaro_fuzz_ini --parallel 2
corpus=build-fuzz/corpus-ini
mkdir -p "$corpus"
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  build-fuzz/fuzz/quintaro_fuzz_ini -max_total_time="$seconds" -max_len=4096 -timeout=10 \
  -rss_limit_mb=2048 -dict=fuzz/ini.dict "$corpus" fuzz/corpus
