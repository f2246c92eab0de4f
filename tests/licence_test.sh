#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Every source file of ours says under which licence it is shared, in its first three lines, and
# the licence it names is the one in LICENSE.
# Usage: licence_test.sh <source folder>
set -euo pipefail
cd "$1"
fail() { echo "FAIL: $*"; exit 1; }
grep -q 'GNU GENERAL PUBLIC LICENSE' LICENSE && grep -q 'Version 2, June 1991' LICENSE \
  || fail "LICENSE is not the GPL version 2"
missing=0
while IFS= read -r -d '' file; do
  head -3 "$file" | grep -q 'SPDX-License-Identifier: GPL-2.0-or-later' || { echo "no licence line: $file"; missing=$((missing + 1)); }
done < <(find src tests bench fuzz tools scripts cmake .ci -path fuzz/corpus -prune -o -type f \
           \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.py' -o -name '*.cmake' \
              -o -name CMakeLists.txt -o -name '*.1' -o -path .ci/run \) -print0)
[ "$missing" -eq 0 ] || fail "$missing source files lack the licence line"
echo "licence: 1 passed, 0 failed"
