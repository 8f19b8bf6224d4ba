#!/bin/sh
# Installs the build into a temporary prefix and makes the Debian package;
# both must hold the programs, the manual, the desktop entry, the MIME type
# and the icon. Arguments: the build folder, a scratch folder.
set -eu
build=$1
scratch=$2
rm -rf "$scratch"
mkdir -p "$scratch"
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
files="bin/quarrix bin/quarrix-cli share/quarrix/Manual/index.htm share/applications/quarrix.desktop
share/mime/packages/quarrix-tallyhold.xml share/icons/hicolor/scalable/apps/quarrix.svg"
for f in $files; do
  [ -f "$scratch/prefix/$f" ] || { echo "not installed: $f"; exit 1; }
done
[ -x "$scratch/prefix/bin/quarrix" ] || { echo "quarrix is not executable"; exit 1; }
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$scratch/prefix/share/applications/quarrix.desktop"
fi
if command -v dpkg-deb >/dev/null; then
  # Without dpkg-shlibdeps, which is slow and only fills in Depends.
  (cd "$build" && cpack -G DEB -B "$scratch/package" -D CPACK_DEBIAN_PACKAGE_SHLIBDEPS=OFF >/dev/null)
  deb=$(ls "$scratch"/package/*.deb)
  listing=$(dpkg-deb -c "$deb")
  for f in $files; do
    echo "$listing" | grep -q "\./usr/$f\$" || { echo "not in the package: $f"; exit 1; }
  done
  dpkg-deb -f "$deb" Depends | grep -q wx3.2-i18n || { echo "the package does not ask for wx3.2-i18n"; exit 1; }
fi
rm -rf "$scratch"
