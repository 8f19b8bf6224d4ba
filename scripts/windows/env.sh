# Shared by the Windows scripts: packages, the dependency cache and its key.
# shellcheck shell=bash
. "$(dirname "${BASH_SOURCE[0]}")/../common.sh"
# The core reads archives with libarchive and its compression libraries; the
# GUI adds libpng, expat and wxWidgets.
QUARRIX_WIN_CORE_SOURCES="zlib bzip2 xz-utils libzstd libarchive"
QUARRIX_WIN_SOURCES="$QUARRIX_WIN_CORE_SOURCES libpng1.6 expat wxwidgets3.2"
# Bump when the recipe in build-deps.sh changes, so caches are rebuilt.
QUARRIX_WIN_RECIPE=2
# The cache root may be moved with QUARRIX_WIN_CACHE, or the exact folder
# chosen with QUARRIX_WIN_DEPS_DIR.
QUARRIX_WIN_CACHE="${QUARRIX_WIN_CACHE:-/var/cache/quarrix-windows}"

quarrix_win_sudo() { if [ "$(id -u)" -ne 0 ]; then sudo "$@"; else "$@"; fi; }

quarrix_win_install_packages() { quarrix_install_packages $QUARRIX_WIN_PACKAGES "$@"; }

# Source lists for Debian's archive, beside the binary ones the machine has.
quarrix_win_enable_sources() {
  if apt-cache showsrc zlib 2>/dev/null | grep -q '^Package:'; then return; fi
  . /etc/os-release
  local f=/etc/apt/sources.list.d/quarrix-src.sources
  printf 'Types: deb-src\nURIs: http://deb.debian.org/debian\nSuites: %s %s-updates\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$VERSION_CODENAME" "$VERSION_CODENAME" | quarrix_win_sudo tee "$f" >/dev/null
  quarrix_win_sudo apt-get update
}

# The newest source version the archive offers for a package.
quarrix_win_source_version() {
  apt-cache showsrc "$1" | awk '/^Version:/ {print $2}' | sort -V | tail -n1
}

quarrix_win_key() {
  local k="r$QUARRIX_WIN_RECIPE" p
  for p in $QUARRIX_WIN_SOURCES; do k="$k-$p-$(quarrix_win_source_version "$p")"; done
  k="$k-gcc-$(x86_64-w64-mingw32-g++-posix -dumpversion 2>/dev/null || echo none)"
  echo "$k" | tr ':+~' '___'
}

# Sets QUARRIX_WIN_KEY and QUARRIX_WIN_DEPS (needs the source lists).
# QUARRIX_WIN_NO_GUI=1 needs only the core's libraries: a complete folder with
# everything serves, else one with just those (QUARRIX_WIN_SOURCES shrinks).
quarrix_win_paths() {
  QUARRIX_WIN_KEY="$(quarrix_win_key)"
  QUARRIX_WIN_DEPS="${QUARRIX_WIN_DEPS_DIR:-$QUARRIX_WIN_CACHE/$QUARRIX_WIN_KEY}"
  if [ "${QUARRIX_WIN_NO_GUI:-0}" = 1 ] && [ -z "${QUARRIX_WIN_DEPS_DIR:-}" ] && \
     [ ! -f "$QUARRIX_WIN_DEPS/.complete" ] && [ "$QUARRIX_WIN_SOURCES" != "$QUARRIX_WIN_CORE_SOURCES" ]; then
    QUARRIX_WIN_SOURCES="$QUARRIX_WIN_CORE_SOURCES"
    quarrix_win_paths
  fi
}
