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

# Source lists for Debian's archive: the machine's own binary entries for its
# release and its updates (whatever mirror they name), turned into deb-src
# ones. Other suites are left out: third-party repositories may have no
# sources, which would fail the update, and the security archive's sources
# are not served everywhere its binaries are.
quarrix_win_source_entries() {
  local codename="$1" f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$(basename "$f")" != quarrix-src.sources ] || continue
    awk -v c="$codename" '
      function ours(suite) { return suite == c || suite == c "-updates" }
      BEGIN { RS = ""; FS = "\n" }
      {
        types = ""; suites = ""; enabled = "yes"; rest = ""; key = ""
        for (i = 1; i <= NF; i++) {
          line = $i
          if (line ~ /^#/) continue
          if (line !~ /^[ \t]/) { key = line; sub(/:.*/, "", key) }
          value = line; sub(/^[^:]*:[ \t]*/, "", value)
          if (key == "Types") types = value
          else if (key == "Suites") suites = value
          else if (key == "Enabled") enabled = value
          else rest = rest line "\n"
        }
        if (enabled == "no" || (" " types " ") !~ / deb /) next
        n = split(suites, s, /[ \t]+/); keep = ""
        for (j = 1; j <= n; j++) if (ours(s[j])) keep = keep (keep == "" ? "" : " ") s[j]
        if (keep != "") printf "Types: deb-src\nSuites: %s\n%s\n", keep, rest
      }' "$f"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk -v c="$codename" '
      $1 == "deb" {
        i = 2; options = ""
        if ($2 ~ /^\[/) { while (i < NF && $i !~ /\]$/) options = options " " $(i++); options = options " " $(i++) }
        suite = $(i + 1)
        if (suite != c && suite != c "-updates") next
        components = ""; for (j = i + 2; j <= NF; j++) components = components (j > i + 2 ? " " : "") $j
        printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents: %s\n", $i, suite, components
        if (match(options, /signed-by=[^] ]+/)) printf "Signed-By: %s\n", substr(options, RSTART + 10, RLENGTH - 10)
        printf "\n"
      }' "$f"
  done
}

quarrix_win_enable_sources() {
  if apt-cache showsrc zlib 2>/dev/null | grep -q '^Package:'; then return; fi
  . /etc/os-release
  local entries
  entries="$(quarrix_win_source_entries "$VERSION_CODENAME")"
  if [ -z "$entries" ]; then
    echo "No Debian $VERSION_CODENAME entries in the machine's apt sources to take source packages from" >&2
    return 1
  fi
  printf '%s\n' "$entries" | quarrix_win_sudo tee /etc/apt/sources.list.d/quarrix-src.sources >/dev/null
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
