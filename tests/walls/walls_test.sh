#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds each wall case in the build tree $1; the rest of the arguments are target=yes|no, whether
# the target must build. A case that must not build has to fail for want of the header, not for
# any other reason.
set -uo pipefail
build=$1
shift
failed=0
for wall_case in "$@"; do
  target=${wall_case%=*}
  expected=${wall_case#*=}
  output=$(cmake --build "$build" --target "$target" 2>&1)
  status=$?
  if [ "$expected" = yes ] && [ $status -ne 0 ]; then
    echo "FAIL $target: should build, but:"; echo "$output" | tail -5; failed=$((failed + 1))
  elif [ "$expected" = no ] && [ $status -eq 0 ]; then
    echo "FAIL $target: reaches a header above its layer, and it built"; failed=$((failed + 1))
  elif [ "$expected" = no ] && ! grep -q "No such file or directory" <<<"$output"; then
    echo "FAIL $target: failed, but not for want of the header:"; echo "$output" | tail -5; failed=$((failed + 1))
  else
    echo "ok   $target ($expected)"
  fi
done
[ $failed -eq 0 ]
