#!/usr/bin/env bash
# Installs what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")"
. scripts/common.sh
quarrix_install_packages
quarrix_japanese_locale
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARRIX_BUILD_TESTS=OFF -DQUARRIX_BUILD_BENCH=OFF >/dev/null
cmake --build build
if [ -x build/quarrix ]; then
  exec build/quarrix "$@"
fi
exec build/quarrix-cli "$@"
