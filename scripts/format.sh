#!/usr/bin/env bash
# Formats the C and C++ sources with .clang-format; with --check, changes nothing and fails on a file that differs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
mapfile -t files < <(git ls-files -- '*.cpp' '*.h' '*.c' | grep -v -e '^examples/' -e '^installscript/')  # InstallScript is not C
if [ "${1:-}" = --check ]; then
  clang-format --dry-run --Werror "${files[@]}"
  echo "format: ${#files[@]} files as .clang-format has them"
else
  clang-format -i "${files[@]}"
fi
