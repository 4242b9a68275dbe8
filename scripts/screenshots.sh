#!/usr/bin/env bash
# Refreshes the page screenshots in docs/: runs the Wine tests that take them, with docs/ as their
# folder (KIV_SCREENSHOT_DIR); an ordinary test run writes them into its build tree instead.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KIV_BUILD_DIR:-$root/build}
jobs=$(nproc)

"$root/scripts/deps.sh"
# shellcheck source=scripts/trees.sh
. "$root/scripts/trees.sh"
kiv_configure_dll_tree "$root" "$build"
cmake --build "$build/dll" -j "$jobs" --target KivForIS55
kiv_configure_test_tree "$root" "$build"
tests=$(kiv_test_tree "$build")
cmake --build "$tests" -j "$jobs" --target kiv_wine_tests

# Every test whose body saves a screenshot, as "Suite.Name" for CTest.
tests=$(awk '/^TEST(_F)?\(/ { name = $0; sub(/^TEST(_F)?\(/, "", name); sub(/\).*/, "", name); sub(/, */, ".", name) }
             /SaveScreenshot\(/ && name != "" { print name; name = "" }' "$root"/tests/wine/*.cpp | sort -u)
[ -n "$tests" ] || { echo "screenshots: no test saves a screenshot" >&2; exit 1; }
regex="^($(printf '%s\n' "$tests" | paste -sd '|'))\$"

# shellcheck source=scripts/wine-session.sh
. "$root/scripts/wine-session.sh"
trap wine_session_stop EXIT
wine_session_start
marker=$(mktemp)
(cd "$tests" && KIV_SCREENSHOT_DIR="Z:$root/docs" ctest --output-on-failure -R "$regex")

stale=0
for png in "$root"/docs/*.png; do
  if [ "$png" -nt "$marker" ]; then
    echo "screenshots: $(basename "$png") $(stat -c %s "$png") bytes"
  else
    echo "screenshots: $(basename "$png") was not refreshed by any test" >&2
    stale=1
  fi
done
rm -f "$marker"
exit $stale
