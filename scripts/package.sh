#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-2.0-or-later
# Builds the Debian package build/release/leafbind_<version>_<architecture>.deb from the project's
# install rules. Install it with: apt-get install ./build/release/leafbind_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh test   # cpack builds every target first, the tests among them
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo -DLEAFBIND_TESTS=ON
cmake --build build/release -j"$(nproc)"
cd build/release && cpack -G DEB
