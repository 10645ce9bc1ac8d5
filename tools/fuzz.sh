#!/usr/bin/env bash
# Builds the fuzzers with clang (ASan + UBSan + libFuzzer) in build-fuzz and runs each, 30 seconds
# by default or as many as $1 says: the settings reader, a whole run against the literal passes,
# quintaro-cli's argument parser, option HSB's passes, the CSS and JavaScript minifiers with ATK's
# tag shortening, and the changes view's token diff. Needs clang and libclang-rt-14-dev
# (tools/setup.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
cmake --preset fuzz > /dev/null
cmake --build --preset fuzz --target quintaro_fuzz_ini quintaro_fuzz_lauf quintaro_fuzz_argumente \
  quintaro_fuzz_sprachen quintaro_fuzz_aenderungen quintaro_fuzz_struktur --parallel 2
# New inputs go to build-fuzz/corpus-NAME (the first folder); fuzz/corpus holds seeds only.
lauf() {
  local name=$1 seeds=$2
  shift 2
  local corpus=build-fuzz/corpus-$name
  mkdir -p "$corpus"
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    build-fuzz/fuzz/quintaro_fuzz_"$name" -max_total_time="$seconds" -timeout=10 \
    -rss_limit_mb=2048 "$@" "$corpus" $seeds
}
lauf ini fuzz/corpus -max_len=4096 -dict=fuzz/ini.dict
lauf lauf "" -max_len=8192
lauf argumente "" -max_len=512
lauf sprachen "" -max_len=4096
lauf aenderungen "" -max_len=8192
lauf struktur "" -max_len=4096
