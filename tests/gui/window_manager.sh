#!/bin/sh
# Runs the GUI tests named by the filter on a display of its own with the
# openbox window manager, which places, decorates and closes the windows as
# a desktop does.
#   window_manager.sh GUI_TESTS FILTER
set -eu
tests="$1" filter="$2"
command -v openbox >/dev/null || { echo "openbox is not installed"; exit 1; }
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill $wm 2>/dev/null' EXIT
# The manager is there once it answers for the desktops (a loaded machine
# may take many seconds to start it).
tries=0
until xdotool get_num_desktops >/dev/null 2>&1; do
  tries=$((tries + 1))
  [ $tries -lt 1200 ] || { echo "openbox did not start"; exit 1; }
  sleep 0.05
done
QUARRIX_WINDOW_MANAGER=1 "$tests" --gtest_filter="$filter"
