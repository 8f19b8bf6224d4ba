#!/usr/bin/env bash
# Installs what is missing, checks the format of the files a change touches,
# fuzzes the set-file reader and the tree builders for a minute, builds
# with AddressSanitizer and UBSan and runs every test, runs the tests of the
# threaded work under ThreadSanitizer, then the Windows leg.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh
quarrix_install_packages xvfb xauth clang libclang-rt-dev clang-format xxhash openbox xdotool \
  zip p7zip-full jlha-utils xorriso libarchive-tools e2fsprogs mount
quarrix_japanese_locale
scripts/check-format.sh
scripts/fuzz.sh 1
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARRIX_SANITIZE=ON -DQUARRIX_BUILD_BENCH=OFF -DQUARRIX_REQUIRE_GUI=ON
cmake --build build-asan
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build-asan
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest --output-on-failure -j2
cd ..

# ThreadSanitizer over the core tests of the work done on several threads:
# scanning and its walk, hashing, archives and their members, updates,
# copies, locked files. The very deep tree runs one reader and takes minutes
# under it.
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUARRIX_TSAN=ON -DQUARRIX_BUILD_BENCH=OFF
cmake --build build-tsan --target core_tests
TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --test-dir build-tsan --output-on-failure -j2 \
  -R '^(Scan|Fingerprints|CatalogUpdate|Archive|MemberCopy|CopyGroups|AtomicFile|MediaType|Update)' -E VeryDeepTree

# The Windows leg: the same programs cross-built with MinGW-w64 (the cached
# libraries are built first when missing) and tested under Wine.
# QUARRIX_SKIP_WINDOWS=1 leaves it out.
if [ "${QUARRIX_SKIP_WINDOWS:-0}" != 1 ]; then
  scripts/windows/test.sh
fi
