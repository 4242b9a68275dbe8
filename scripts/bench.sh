#!/usr/bin/env bash
# Runs the benchmarks. Natively (Release, no sanitizers): the configuration rewrite and the table
# stamping, each against a plain read and write. Under Wine, through the shipped DLL: the DLL's load
# plus unload; CreateUpdateManagerATP rewriting a 36 MB Arch.Cfg and CreateUpdateManager stamping three
# block tables of 100,000 records, each against a plain ReadFile and WriteFile of the same bytes; and
# SaveBeforeFilesCopy on 2,000 files against a plain CopyFileA loop. KIV_BUILD_DIR picks the build folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KIV_BUILD_DIR:-$root/build}
jobs=$(nproc)

"$root/scripts/deps.sh"

echo "== native: configuration rewrite and table stamping"
cmake -S "$root" -B "$build/bench" -DKIV_NATIVE=ON -DKIV_SANITIZE=OFF -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build/bench" --target kiv_bench -j "$jobs" >/dev/null
"$build/bench/bench/kiv_bench"

echo "== Wine: DLL load and unload, configuration rewrite, table stamping, saving before the copy"
# shellcheck source=scripts/trees.sh
. "$root/scripts/trees.sh"
kiv_configure_dll_tree "$root" "$build"
cmake --build "$build/dll" --target KivForIS55 -j "$jobs" >/dev/null
kiv_configure_test_tree "$root" "$build"
tests=$(kiv_test_tree "$build")
dll=$build/dll/src/KivForIS55.dll
if [ "$(kiv_wine_arch)" = win64 ]; then
  echo "(this machine cannot run 32-bit code: the x86-64 build of the DLL is measured)"
  cmake --build "$tests" --target KivForIS55 -j "$jobs" >/dev/null
  dll=$tests/src/KivForIS55.dll
fi
cmake --build "$tests" --target kiv_wine_bench -j "$jobs" >/dev/null

# shellcheck source=scripts/wine-session.sh
. "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start
wine "$tests/bench/kiv_wine_bench.exe" "$(winepath -w "$dll")" </dev/null
