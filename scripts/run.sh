#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Installs what is missing, builds Leafbind and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh run
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEAFBIND_TESTS=OFF
cmake --build build/release --target leafbind -j"$(nproc)"
exec build/release/src/app/leafbind
