#!/usr/bin/env bash
# Cross-builds quarrix.exe, quarrix-cli.exe and the test programs for 64-bit
# Windows into build-win/ (static: no DLLs to ship). Builds the cached
# dependencies first when they are missing. Targets may be given as
# arguments (default: all).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
. "$here/env.sh"

# QUARRIX_WIN_NO_GUI=1: only the core, the command-line program and the
# tests, with just the cached libraries the core needs.
gui=ON
if [ "${QUARRIX_WIN_NO_GUI:-0}" = 1 ]; then gui=OFF; fi
"$here/build-deps.sh"
quarrix_win_enable_sources
quarrix_win_paths
build="${QUARRIX_WIN_BUILD:-$root/build-win}"
jobs="${QUARRIX_WIN_JOBS:-2}"

# GoogleTest from Debian's source package, built with the cross compiler.
gtest="$build/googletest"
if [ ! -f "$gtest/install/lib/libgtest.a" ]; then
  cmake -S /usr/src/googletest -B "$gtest/build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" -DCMAKE_INSTALL_PREFIX="$gtest/install" \
    -DBUILD_GMOCK=ON -Dgtest_disable_pthreads=OFF >/dev/null
  nice -n 19 cmake --build "$gtest/build" -j "$jobs" >/dev/null
  cmake --install "$gtest/build" >/dev/null
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$here/mingw-toolchain.cmake" -DQUARRIX_WIN_DEPS="$QUARRIX_WIN_DEPS" \
  -DQUARRIX_WIN_GTEST="$gtest/install" -DwxWidgets_CONFIG_EXECUTABLE="$QUARRIX_WIN_DEPS/bin/wx-config" \
  -DQUARRIX_REQUIRE_GUI=$gui -DQUARRIX_BUILD_BENCH=OFF >/dev/null
nice -n 19 cmake --build "$build" -j "$jobs" ${1:+--target "$@"}
