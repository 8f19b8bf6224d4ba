#!/usr/bin/env bash
# Fuzzes for MINUTES minutes (default 1) under ASan and UBSan, the time
# split between the set-file reader and the tree builders (a set built
# through them must read back). Builds with clang in build-fuzz; the
# reader's working corpus grows in build-fuzz/corpus from the seeds in
# tests/fuzz/corpus, the builders' in build-fuzz/corpus-tree. Exits nonzero
# on a finding, which is kept in build-fuzz/findings/.
#   scripts/fuzz.sh [MINUTES]        FUZZ_SECONDS=N overrides the duration
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/common.sh
quarrix_install_packages clang libclang-rt-dev
minutes="${1:-1}"
seconds="${FUZZ_SECONDS:-$((minutes * 60))}"
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUARRIX_SANITIZE=ON -DQUARRIX_BUILD_FUZZ=ON -DQUARRIX_BUILD_TESTS=OFF -DQUARRIX_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target set_file_fuzzer tree_builder_fuzzer

mkdir -p "$build/corpus" "$build/corpus-tree" "$build/large" "$build/findings"
# Seeds of tens of thousands of items (kept gzipped) are checked once each:
# fuzzing inputs that size would run a hundred times slower for nothing new.
for seed in tests/fuzz/corpus/*; do
  case "$seed" in
    *.gz) gunzip -c "$seed" >"$build/large/$(basename "$seed" .gz)" ;;
    *) cp "$seed" "$build/corpus/" ;;
  esac
done

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fuzzer="$build/tests/fuzz/set_file_fuzzer"
"$fuzzer" -artifact_prefix="$build/findings/" "$build"/large/*
reader_seconds=$(((seconds + 1) / 2))
"$fuzzer" "$build/corpus" -dict=tests/fuzz/set_file.dict -max_len=131072 \
  -max_total_time="$reader_seconds" -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$build/findings/"
"$build/tests/fuzz/tree_builder_fuzzer" "$build/corpus-tree" -max_len=4096 \
  -max_total_time="$((seconds - reader_seconds > 0 ? seconds - reader_seconds : 1))" -timeout=30 \
  -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$build/findings/tree-"
