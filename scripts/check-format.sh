#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a C++ file of the repository differs from what .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/ensure-deps.sh
talvek_ensure_deps
git ls-files -z '*.h' '*.cpp' | xargs -0 clang-format --dry-run -Werror
echo "formatting: clean"
