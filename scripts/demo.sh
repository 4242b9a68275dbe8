#!/usr/bin/env bash
# The demo upgrade: builds KivForIS55.dll and kivhost, lays out the sample AutoCAD
# registry and older installation in a scratch Wine prefix, runs the complete
# upgrade of examples/upgrade.kiv with the pages answered automatically, their
# answers recorded and the DLL's diagnostic log on, and tells what changed. Then
# it runs the same upgrade silently on a fresh copy, from the recorded answers,
# and tells whether both runs agree. KIV_BUILD_DIR picks the build folder (default build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KIV_BUILD_DIR:-$root/build}
started=$SECONDS

"$root/scripts/deps.sh"

# shellcheck source=scripts/trees.sh
. "$root/scripts/trees.sh"
echo "== building KivForIS55.dll and kivhost.exe (MinGW-w64, win32 threads)"
kiv_configure_dll_tree "$root" "$build"
cmake --build "$build/dll" -j "$(nproc)" --target kivhost >/dev/null
host_dir=$build/dll/tools/kivhost
if [ "$(kiv_wine_arch)" = win64 ]; then
  echo "== this machine cannot run 32-bit code: building both again for x86-64 to run them"
  kiv_configure_test_tree "$root" "$build"
  tests=$(kiv_test_tree "$build")
  cmake --build "$tests" -j "$(nproc)" --target kivhost kiv_test_dll >/dev/null
  host_dir=$tests/tests/wine
fi

# shellcheck source=scripts/wine-session.sh
. "$root/scripts/wine-session.sh"
work=$(mktemp -d /tmp/kiv-demo.XXXXXX)
cleanup() {
  wine_session_stop
  rm -rf "$work"
}
trap cleanup EXIT
wine_session_start

drive_c=$WINEPREFIX/drive_c
lay_out_sample() {
  wine reg delete 'HKLM\Software\Autodesk' /f </dev/null >/dev/null 2>&1 || true
  wine reg delete 'HKLM\Software\Dorvasys' /f </dev/null >/dev/null 2>&1 || true
  rm -rf "$drive_c/Dorvasys" "$drive_c/Programme" "$drive_c/Setup"
  cp -a "$root/examples/sample/." "$drive_c/"
  wine regedit /S "$(winepath -w "$root/examples/AutoCAD2000.reg")" </dev/null >/dev/null 2>&1
}
echo "== laying out the sample in C: of the scratch prefix"
lay_out_sample
responses=$work/KivForIS55.iss

export_registry() {  # folder
  wine reg export 'HKLM\Software\Autodesk' "$(winepath -w "$1/autodesk.reg")" /y </dev/null >/dev/null 2>&1 || true
  wine reg export 'HKLM\Software\Dorvasys' "$(winepath -w "$1/dorvasys.reg")" /y </dev/null >/dev/null 2>&1 || true
}
mkdir -p "$work/reg-before" "$work/reg-after"
export_registry "$work/reg-before"
python3 "$root/scripts/demo_account.py" snapshot "$drive_c" "$work/before" "$work"/reg-before/*.reg

echo "== running examples/upgrade.kiv through kivhost"
shots=$build/demo-screenshots
rm -rf "$shots" "$build/demo-kivforis55.log"
mkdir -p "$shots"
status=0
# Pages by template: 1008 the product page, 1007 the tablet page; every other page: Next.
wine "$host_dir/kivhost.exe" --define ROOT=C: \
  --answer '1008=select:AutoCAD Map 2000,next' --answer '1007=tick,next' --answer next \
  --record "$(winepath -w "$responses")" \
  --screenshots "$(winepath -w "$shots")" --log "$(winepath -w "$build/demo-kivforis55.log")" \
  "$(winepath -w "$root/examples/upgrade.kiv")" \
  </dev/null >"$work/kivhost.log" 2>"$work/kivhost.err" || status=$?
sed 's/^/  /' "$work/kivhost.log"
sed 's/^/  /' "$work/kivhost.err" | grep -v '^  wine: ' || true

export_registry "$work/reg-after"
python3 "$root/scripts/demo_account.py" snapshot "$drive_c" "$work/after" "$work"/reg-after/*.reg
echo
python3 "$root/scripts/demo_account.py" report "$work/before" "$work/after" "$work/kivhost.log"
echo "Screenshots of the pages: $shots"
echo "The DLL's diagnostic log: $build/demo-kivforis55.log ($(wc -l <"$build/demo-kivforis55.log") lines)"
echo
echo "== the answers recorded (kivhost --record), as setup -r records them"
sed 's/^/  /' "$responses"

echo "== the same upgrade again, silently, on a fresh copy of the sample (kivhost --silent)"
lay_out_sample
silent_status=0
wine "$host_dir/kivhost.exe" --define ROOT=C: --silent "$(winepath -w "$responses")" \
  "$(winepath -w "$root/examples/upgrade.kiv")" \
  </dev/null >"$work/silent.log" 2>"$work/silent.err" || silent_status=$?
sed 's/^/  /' "$work/silent.err" | grep -v '^  wine: ' || true
mkdir -p "$work/reg-silent"
export_registry "$work/reg-silent"
python3 "$root/scripts/demo_account.py" snapshot "$drive_c" "$work/silent" "$work"/reg-silent/*.reg
agreed=0
python3 "$root/scripts/demo_account.py" agree "$work/after" "$work/silent" "$work/kivhost.log" "$work/silent.log" ||
  agreed=$?

echo "== the same upgrade undone: the sample laid out again, the run in an undo journal, then KivUndoChanges"
lay_out_sample
mkdir -p "$work/reg-undo-before" "$work/reg-undone"
export_registry "$work/reg-undo-before"
python3 "$root/scripts/demo_account.py" snapshot "$drive_c" "$work/undo-before" "$work"/reg-undo-before/*.reg
{
  echo 'KivBeginChanges(ROOT + "\\KivJournal")'
  cat "$root/examples/upgrade.kiv"
  echo 'KivUndoChanges()'
} >"$work/undone.kiv"
undo_status=0
wine "$host_dir/kivhost.exe" --define ROOT=C: \
  --answer '1008=select:AutoCAD Map 2000,next' --answer '1007=tick,next' --answer next \
  "$(winepath -w "$work/undone.kiv")" </dev/null >"$work/undone.log" 2>"$work/undone.err" || undo_status=$?
grep -E '^line [0-9]+: Kiv(BeginChanges|UndoChanges)' "$work/undone.log" | sed 's/^/  /' || true
export_registry "$work/reg-undone"
python3 "$root/scripts/demo_account.py" snapshot "$drive_c" "$work/undone" "$work"/reg-undone/*.reg
python3 "$root/scripts/demo_account.py" undone "$work/undo-before" "$work/undone" || undo_status=1
echo "Demo finished in $((SECONDS - started)) s; kivhost exit status $status, silent run $silent_status, undone run $undo_status."
[ "$status" -ne 0 ] && exit "$status"
[ "$silent_status" -ne 0 ] && exit "$silent_status"
[ "$agreed" -ne 0 ] && exit "$agreed"
exit "$undo_status"
