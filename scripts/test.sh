#!/usr/bin/env bash
# Builds everything and runs every test: the native core under sanitizers and
# its fuzz target, then the shipped DLL under Wine with Xvfb for its pages.
# KIV_ONLY=native or KIV_ONLY=wine runs one half; KIV_CTEST_ARGS filters the Wine tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KIV_BUILD_DIR:-$root/build}
only=${KIV_ONLY:-all}
jobs=$(nproc)

"$root/scripts/deps.sh"

if [ "$only" != wine ]; then
  echo "== native core (AddressSanitizer, UndefinedBehaviorSanitizer)"
  cmake -S "$root" -B "$build/native" -DKIV_NATIVE=ON -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null
  cmake --build "$build/native" -j "$jobs"
  (cd "$build/native" && ctest --output-on-failure -j "$jobs")
fi
[ "$only" != native ] || exit 0

echo "== KivForIS55.dll (MinGW-w64, win32 threads)"
cmake -S "$root" -B "$build/dll" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-win32.cmake" \
  -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/dll" -j "$jobs"

echo "== Wine tests (MinGW-w64, posix threads)"
cmake -S "$root" -B "$build/tests" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-posix.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DKIV_WINE_TESTS=ON -DKIV_SHIPPED_DLL="$build/dll/src/KivForIS55.dll" >/dev/null
cmake --build "$build/tests" -j "$jobs"

# shellcheck source=scripts/wine-session.sh
. "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start
# shellcheck disable=SC2086
(cd "$build/tests" && ctest --output-on-failure ${KIV_CTEST_ARGS:-})
