#!/usr/bin/env bash
# Fails when a C++ source of the project differs from what clang-format makes of it.
#   bash tools/check_format.sh [clang-format program]
set -euo pipefail
cd "$(dirname "$0")/.."
FORMAT=${1:-$(command -v clang-format || command -v clang-format-14 || true)}
if [ -z "$FORMAT" ]; then
  echo "clang-format is not installed (bash tools/zyntra.sh test installs it)" >&2
  exit 1
fi
mapfile -t files < <(find shell data world actors menus platform tests bench tools fuzz \
                       \( -name '*.cpp' -o -name '*.h' \) -type f | sort)
"$FORMAT" --dry-run --Werror "${files[@]}"
echo "${#files[@]} files formatted"
