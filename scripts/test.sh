#!/usr/bin/env bash
# Checks the layering and the format, then builds everything and runs every
# test: the native core under sanitizers and its fuzz target, then the shipped
# DLL and its release zip, and the DLL under Wine with Xvfb for its pages.
# KIV_ONLY=native or KIV_ONLY=wine runs one half; KIV_CTEST_ARGS filters the Wine tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KIV_BUILD_DIR:-$root/build}
only=${KIV_ONLY:-all}
jobs=$(nproc)

"$root/scripts/deps.sh"

echo "== source checks: includes run down the layers, the layout is .clang-format's"
"$root/scripts/check-layers.sh"
"$root/scripts/format.sh" --check

if [ "$only" != wine ]; then
  echo "== native core (AddressSanitizer, UndefinedBehaviorSanitizer)"
  cmake -S "$root" -B "$build/native" -DKIV_NATIVE=ON -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build "$build/native" -j "$jobs"
  (cd "$build/native" && ctest --output-on-failure -j "$jobs")
fi
[ "$only" != native ] || exit 0

# shellcheck source=scripts/trees.sh
. "$root/scripts/trees.sh"
echo "== KivForIS55.dll and its release zip (MinGW-w64, win32 threads)"
kiv_configure_dll_tree "$root" "$build"
cmake --build "$build/dll" -j "$jobs"
cmake --build "$build/dll" --target package

echo "== Wine tests (MinGW-w64, posix threads)"
kiv_configure_test_tree "$root" "$build"
tests=$(kiv_test_tree "$build")
cmake --build "$tests" -j "$jobs"

# shellcheck source=scripts/wine-session.sh
. "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start small-drive
# shellcheck disable=SC2086
(cd "$tests" && ctest --output-on-failure ${KIV_CTEST_ARGS:-})
