#!/usr/bin/env bash
# Starts the program on a small sample set under Xvfb and saves pictures of
# it into docs/ (or the folder given): the main window on the first catalog
# (screenshot.png), an archive opened in the tree and the list
# (screenshot-archive.png) and the catalog's information sheet
# (screenshot-info.png).
#
#   scripts/screenshot.sh [OUT_FOLDER]
#
# Builds in build/ like run.sh (QUARRIX_BUILD_DIR chooses another folder).
# Nothing outside a temporary folder is touched: the program runs with its
# own HOME there.
set -euo pipefail

# The largest visible window of process $1 other than $2, as "ID X Y W H".
largest_window() {
  local id best="" area=0
  for id in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    [ "$id" = "${2:-}" ] && continue
    eval "$(xdotool getwindowgeometry --shell "$id")"
    if [ $((WIDTH * HEIGHT)) -gt "$area" ]; then area=$((WIDTH * HEIGHT)) best="$id $X $Y $WIDTH $HEIGHT"; fi
  done
  echo "$best"
}

# Inside the X server: start the program, click into the tree, press the
# keys given ("pause" waits a second), dump the screen. The picture is cut
# to the main window, or with --dialog to the window the keys opened.
capture() {
  local program="$1" set="$2" out="$3" dialog=0
  shift 3
  if [ "${1:-}" = --dialog ]; then dialog=1; shift; fi
  "$program" "$set" &
  local pid=$! main="" geometry=""
  for _ in $(seq 1 100); do
    sleep 0.2
    read -r main geometry <<<"$(largest_window "$pid")"
    [ -n "$main" ] && break
  done
  [ -n "$main" ] || { echo "the main window did not appear" >&2; kill "$pid"; return 1; }
  sleep "${QUARRIX_SHOT_WAIT:-1}"  # the first layout and fill
  read -r X Y WIDTH HEIGHT <<<"$geometry"
  xdotool mousemove $((X + 60)) $((Y + HEIGHT - 60)) click 1   # into the tree
  sleep 0.3
  for key in "$@"; do
    if [ "$key" = pause ]; then sleep 1; else xdotool key "$key"; sleep 0.3; fi
  done
  sleep 1                         # the list follows 200 ms after the selection
  xdotool mousemove $((X + WIDTH - 10)) $((Y + HEIGHT - 10))
  sleep 0.3
  if [ "$dialog" = 1 ]; then read -r _ geometry <<<"$(largest_window "$pid" "$main")"; fi
  xwd -root -silent >"$out"
  echo "$geometry" >"$out.geometry"
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

out="${1:-docs}"
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
# A name that is neither UTF-8 nor CP932 (Latin-1 bytes): its byte shows as such.
make_file "$d1/$(printf 'caf\xe9').txt" 512 "2001-07-01 08:10"
touch -d "2001-07-01 08:00" "$d1"/* "$d1"/写真/*
d2="$work/disc2"
make_file "$d2/src/main.c" 15360 "2002-01-12 22:10"
make_file "$d2/src/main.h" 2048 "2002-01-12 22:11"
python3 - "$d2/backup.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    for name, size in (('仕様書/設計.doc', 81920), ('仕様書/画面一覧.xls', 40960), ('ソース/main.c', 15360),
                       ('ソース/main.h', 2048), ('変更履歴.txt', 3072)):
        z.writestr(zipfile.ZipInfo(name, (2002, 1, 12, 22, 0, 0)), b'x' * size)
PY
touch -d "2002-01-13 01:00" "$d2/backup.zip"

cli="$build/quarrix-cli"
set="$work/sample.fcf"
"$cli" new "$set" >/dev/null
"$cli" add "$set" "CD-001 写真と書類" "$d1" >/dev/null
"$cli" add "$set" "MO-017 作業" "$d2" --archives >/dev/null
"$cli" note "$set" --text "京都と札幌の旅行" 'CD-001 写真と書類\写真' >/dev/null
"$cli" note "$set" --text "6月分まで" 'CD-001 写真と書類\書類' >/dev/null
"$cli" note "$set" --text "最初に読む" 'CD-001 写真と書類\readme.txt' >/dev/null

mkdir -p "$work/home/.config"
# A window wide enough for every column, as a user would leave it.
printf '[Window]\nX=0\nY=0\nWidth=860\nHeight=480\nSplitter=220\n' >"$work/home/.config/Quarrix.conf"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local/share"
export LC_ALL=C.UTF-8 TZ=Asia/Tokyo NO_AT_BRIDGE=1 GDK_BACKEND=x11 GSETTINGS_BACKEND=memory

shots="$work/shots"
mkdir -p "$shots" "$out"
program="$PWD/$build/quarrix" me="$PWD/scripts/screenshot.sh"
xvfb-run -a -s "-screen 0 1024x768x24" bash -c "
  set -e
  '$me' --capture '$program' '$set' '$shots/main.xwd' Down Right
  '$me' --capture '$program' '$set' '$shots/archive.xwd' Down Down Right Down Right pause Down
  '$me' --capture '$program' '$set' '$shots/info.xwd' --dialog Down alt+f r pause"
for name in main archive info; do
  file="screenshot-$name.png"
  [ "$name" = main ] && file=screenshot.png
  # shellcheck disable=SC2046  # the geometry is four numbers
  python3 scripts/xwd_to_png.py "$shots/$name.xwd" "$out/$file" $(cat "$shots/$name.xwd.geometry")
  echo "saved $out/$file"
done
