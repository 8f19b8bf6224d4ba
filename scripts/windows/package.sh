#!/usr/bin/env bash
# Packages the Windows build (scripts/windows/build.sh) for users: an NSIS
# installer and a zip of the same files, in build-win/package/.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
. "$here/env.sh"
quarrix_win_install_packages

build="${QUARRIX_WIN_BUILD:-$root/build-win}"
version="$(sed -n 's/^project(Quarrix VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
out="$build/package"
stage="$out/Quarrix-$version"
rm -rf "$out"
mkdir -p "$stage/Manual"
for f in quarrix.exe quarrix-cli.exe; do
  [ -f "$build/$f" ] || { echo "missing $build/$f: run scripts/windows/build.sh first" >&2; exit 1; }
  cp "$build/$f" "$stage/"
  x86_64-w64-mingw32-strip "$stage/$f"
done
cp "$root/resources/manual/index.htm" "$stage/Manual/"

makensis -V2 -INPUTCHARSET UTF8 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$out/Quarrix-$version-setup.exe" \
  "$here/installer.nsi"
(cd "$out" && zip -qr "Quarrix-$version-windows.zip" "Quarrix-$version")
ls -l "$out"/*.exe "$out"/*.zip
