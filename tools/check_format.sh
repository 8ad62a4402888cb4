#!/usr/bin/env bash
# Fails when a C++ source of the project differs from what clang-format makes of it.
#   bash tools/check_format.sh [clang-format program]
set -euo pipefail
cd "$(dirname "$0")/.."
FORMAT=${1:-clang-format}
mapfile -t files < <(find shell data world actors menus platform tests bench tools fuzz \
                       \( -name '*.cpp' -o -name '*.h' \) -type f | sort)
"$FORMAT" --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted"
