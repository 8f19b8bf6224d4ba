# Shared by run.sh and test.sh: installs the Debian packages the build needs.
QUARRIX_PACKAGES="g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev \
libglib2.0-dev shared-mime-info libxxhash-dev libblkid-dev libarchive-dev \
libwxgtk3.2-dev wx3.2-i18n locales desktop-file-utils fonts-ipafont-gothic ccache"
# The Windows leg (scripts/windows): the MinGW-w64 cross compiler, Debian's
# source packages and the tools to build them, GoogleTest's sources, Wine
# with an X server for the GUI, NSIS with zip for the packages, and the tools
# that draw the program's icon.
QUARRIX_WIN_PACKAGES="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools dpkg-dev make \
googletest wx-common wine64 xvfb xauth xdotool x11-apps nsis zip librsvg2-bin icoutils"

quarrix_install_packages() {
  local missing=()
  for p in $QUARRIX_PACKAGES "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

# GTK translates its own texts only in a Japanese locale, which the program
# uses for its messages whatever the user's locale is.
quarrix_japanese_locale() {
  locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$' && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Generating the ja_JP.UTF-8 locale"
  if [ -f /etc/locale.gen ] && grep -q 'ja_JP.UTF-8 UTF-8' /etc/locale.gen; then
    $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    $sudo locale-gen
  else
    $sudo localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
  fi
}
