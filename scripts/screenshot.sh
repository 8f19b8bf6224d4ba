#!/usr/bin/env bash
# Starts the program on a small sample set under Xvfb and saves a picture of
# its main window as docs/screenshot.png (or the path given).
#
#   scripts/screenshot.sh [OUT.png]
#
# Builds in build/ like run.sh (QUARRIX_BUILD_DIR chooses another folder).
# Nothing outside a temporary folder is touched: the program runs with its
# own HOME there.
set -euo pipefail

# Inside the X server: start the program, open the first catalog in the
# tree, wait for the list to follow, dump the screen.
capture() {
  "$1" "$2" &
  local pid=$! window=""
  for _ in $(seq 1 100); do
    window="$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1 || true)"
    [ -n "$window" ] && break
    sleep 0.2
  done
  [ -n "$window" ] || { echo "the main window did not appear" >&2; kill "$pid"; return 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + 60)) $((Y + HEIGHT - 60)) click 1   # into the tree
  sleep 0.3
  xdotool key Down Right          # the first catalog, expanded
  sleep 1                         # the list follows 200 ms after the selection
  xdotool mousemove $((X + WIDTH - 10)) $((Y + HEIGHT - 10))
  sleep 0.3
  xwd -root -silent >"$3"
  echo "$X $Y $WIDTH $HEIGHT" >"$3.geometry"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}
if [ "${1:-}" = "--capture" ]; then
  shift
  capture "$@"
  exit
fi

cd "$(dirname "$0")/.."
. scripts/common.sh
quarrix_install_packages xvfb xauth x11-apps xdotool

out="${1:-docs/screenshot.png}"
build="${QUARRIX_BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUARRIX_BUILD_TESTS=OFF \
  -DQUARRIX_BUILD_BENCH=OFF -DQUARRIX_REQUIRE_GUI=ON >/dev/null
cmake --build "$build" --target quarrix quarrix-cli

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Two small "discs" with Japanese names, sizes and fixed times.
make_file() {  # path size date
  mkdir -p "$(dirname "$1")"
  truncate -s "$2" "$1"
  touch -d "$3" "$1"
}
d1="$work/disc1"
make_file "$d1/写真/2001_京都/img_0001.jpg" 1843200 "2001-04-01 10:12"
make_file "$d1/写真/2001_京都/img_0002.jpg" 1720320 "2001-04-01 10:15"
make_file "$d1/写真/2002_札幌/img_0101.jpg" 2048000 "2002-02-10 14:02"
make_file "$d1/書類/見積書.doc" 53248 "2001-05-20 09:30"
make_file "$d1/書類/議事録.txt" 4096 "2001-06-02 18:45"
make_file "$d1/書類/budget.xls" 28672 "2001-06-30 11:00"
make_file "$d1/音楽/track01.mp3" 4718592 "2000-12-24 20:00"
make_file "$d1/readme.txt" 1200 "2001-07-01 08:00"
make_file "$d1/setup.exe" 3276800 "2001-03-15 12:00"
make_file "$d1/index.html" 8192 "2001-07-01 08:05"
touch -d "2001-07-01 08:00" "$d1"/* "$d1"/写真/*
d2="$work/disc2"
make_file "$d2/src/main.c" 15360 "2002-01-12 22:10"
make_file "$d2/src/main.h" 2048 "2002-01-12 22:11"
make_file "$d2/backup.zip" 10485760 "2002-01-13 01:00"

cli="$build/quarrix-cli"
set="$work/sample.fcf"
"$cli" new "$set" >/dev/null
"$cli" add "$set" "CD-001 写真と書類" "$d1" >/dev/null
"$cli" add "$set" "MO-017 作業" "$d2" >/dev/null
"$cli" note "$set" --text "京都と札幌の旅行" 'CD-001 写真と書類\写真' >/dev/null
"$cli" note "$set" --text "6月分まで" 'CD-001 写真と書類\書類' >/dev/null
"$cli" note "$set" --text "最初に読む" 'CD-001 写真と書類\readme.txt' >/dev/null

mkdir -p "$work/home"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export LC_ALL=C.UTF-8 TZ=Asia/Tokyo NO_AT_BRIDGE=1 GDK_BACKEND=x11 GSETTINGS_BACKEND=memory

xvfb-run -a -s "-screen 0 800x600x24" "$PWD/scripts/screenshot.sh" --capture "$build/quarrix" "$set" "$work/shot.xwd"

mkdir -p "$(dirname "$out")"
# shellcheck disable=SC2046  # the geometry is four numbers
python3 scripts/xwd_to_png.py "$work/shot.xwd" "$out" $(cat "$work/shot.xwd.geometry")
echo "saved $out"
