#!/usr/bin/env bash
# Checks that the C++ files follow .clang-format. With no arguments it checks
# the files changed since origin/main (or HEAD~1 where there is none) and
# those not committed yet, so a change is held to the format it touches;
# QUARRIX_FORMAT_ALL=1 checks every file.
#   scripts/check-format.sh [FILE...]
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -gt 0 ]; then
  files=("$@")
elif [ "${QUARRIX_FORMAT_ALL:-0}" = 1 ]; then
  mapfile -t files < <(git ls-files '*.cpp' '*.h')
else
  base=$(git merge-base HEAD origin/main 2>/dev/null || true)
  [ -z "$base" ] || [ "$base" = "$(git rev-parse HEAD)" ] && base=$(git rev-parse -q --verify HEAD~1 || true)
  mapfile -t files < <({ [ -n "$base" ] && git diff --name-only --diff-filter=d "$base"; git diff --name-only --diff-filter=d HEAD;
                         git ls-files --others --exclude-standard; } | grep -E '\.(cpp|h)$' | sort -u)
fi
[ ${#files[@]} -eq 0 ] && exit 0
if ! clang-format --dry-run --Werror "${files[@]}"; then
  echo "Not in the project's format; fix with: clang-format -i FILE..." >&2
  exit 1
fi
