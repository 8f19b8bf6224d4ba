#!/bin/sh
# Dependencies point one way: each folder includes nothing from the folders
# above it. Argument: the source folder. Prints each include that breaks
# this and fails when there is one.
set -u
cd "$1" || exit 2
status=0
check() {
  folder=$1
  shift
  for above in "$@"; do
    if grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*[\"<]$above/" "$folder"; then
      echo "$folder/ must not include from $above/"
      status=1
    fi
  done
}
check platform model dialogs document ui app cli
check model dialogs document ui app cli
check cli dialogs document ui app
check dialogs document ui app cli
check document ui app cli
check ui app cli
exit $status
