# Shared by run.sh and test.sh: installs the Debian packages the build needs.
QUARRIX_PACKAGES="g++ cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev \
libglib2.0-dev shared-mime-info \
libwxgtk3.2-dev fonts-ipafont-gothic ccache"

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
