# Sourced by the run scripts: a scratch Wine prefix (copied from a cached
# template) under the German locale of the library's users, Xvfb for the pages,
# and a persistent wineserver; each started process is recorded by pid so that
# wine_session_stop ends exactly those.

# shellcheck source=scripts/machine.sh
. "$(dirname "${BASH_SOURCE[0]}")/machine.sh"

kiv_cache=${XDG_CACHE_HOME:-$HOME/.cache}/kivforis55
# The session's locale (code page 1252, LCID 0x407) and those that single tests start Wine under.
kiv_session_locale=de_DE.UTF-8
kiv_test_locales="de_DE.UTF-8 ja_JP.UTF-8 tr_TR.UTF-8"

# Runs a command holding a lock file: several runs may fill the cache at once.
kiv_locked() {  # lock-file command...
  local lock=$1
  shift
  mkdir -p "$(dirname "$lock")"
  (
    flock 9
    "$@"
  ) 9>"$lock"
}

# Wine takes its code page from LANG, but it can give files non-ASCII names only
# when that Unix locale is installed; so the locales are compiled once into the
# cache, and LOCPATH points there.
kiv_compile_locales() {  # folder
  local folder=$1 locale
  mkdir -p "$folder"
  for locale in $kiv_test_locales; do
    [ -f "$folder/$locale/LC_CTYPE" ] && continue
    echo "wine: compiling the locale $locale (once)" >&2
    rm -rf "$folder/$locale.tmp"
    # Exit status 1 means warnings only; the check below tells whether the locale works.
    localedef -c -i "${locale%%.*}" -f "${locale#*.}" "$folder/$locale.tmp" >/dev/null 2>&1 || true
    if [ -f "$folder/$locale.tmp/LC_CTYPE" ]; then mv "$folder/$locale.tmp" "$folder/$locale"; fi
  done
}

kiv_locales() {
  local folder=$kiv_cache/locales locale
  kiv_locked "$kiv_cache/locales.lock" kiv_compile_locales "$folder"
  export LOCPATH=$folder
  for locale in $kiv_test_locales; do
    if [ "$(LC_ALL=$locale locale charmap 2>/dev/null)" != UTF-8 ]; then
      echo "wine: the locale $locale cannot be compiled into $folder (Debian package locales)" >&2
      return 1
    fi
  done
}

# Debian's wine wrapper starts the 32-bit loader whenever it is installed, also where
# it cannot run; for a 64-bit prefix, wine (and wine-stable, which Wine's own
# tool scripts call) start the 64-bit loader.
kiv_wine_loader() {
  [ "$(kiv_wine_arch)" = win64 ] || return 0
  local shims=$kiv_cache/wine64-bin name
  mkdir -p "$shims"
  for name in wine wine-stable; do
    printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$shims/$name.tmp"
    chmod +x "$shims/$name.tmp"
    mv "$shims/$name.tmp" "$shims/$name"
  done
  export WINELOADER=/usr/lib/wine/wine64
  case ":$PATH:" in *":$shims:"*) ;; *) export PATH=$shims:$PATH ;; esac
}

kiv_create_template() {  # folder
  local template=$1
  [ -f "$template/.kiv-ready" ] && return 0
  echo "wine: creating the template prefix $template (once)" >&2
  rm -rf "$template"
  (
    export LANG=$kiv_session_locale LC_ALL=$kiv_session_locale
    export WINEPREFIX=$template WINEARCH=$(kiv_wine_arch) WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    unset DISPLAY
    wineboot -i </dev/null >/dev/null 2>&1
    # A virtual desktop spares each dialog close the 2 s wait for a window
    # manager; no theme keeps title bars plain in screenshots.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f </dev/null >/dev/null 2>&1
    wine reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' /v ThemeActive /d 0 /f \
      </dev/null >/dev/null 2>&1
    # A crashing test ends at once instead of waiting in the debugger until its timeout.
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
    wineserver -w
  )
  touch "$template/.kiv-ready"
}

kiv_template_prefix() {
  local template=${KIV_PREFIX_TEMPLATE:-$kiv_cache/prefix-$(kiv_wine_arch)-v4}
  kiv_locked "$template.lock" kiv_create_template "$template"
  printf '%s\n' "$template"
}

# The disk-full tests' small drive: a tmpfs in the session folder, linked as
# drive K: of the prefix before the wineserver starts, so that a test can fill
# it. Mounting needs root; where it fails the reason goes to stderr and to the
# tests in KIV_NO_SMALL_DRIVE, and they skip with it.
kiv_small_drive_start() {
  local mount=$KIV_SESSION_DIR/small-drive why=
  unset KIV_SMALL_DRIVE KIV_NO_SMALL_DRIVE
  mkdir -p "$mount"
  if [ "$(id -u)" -ne 0 ]; then
    why="mounting a tmpfs needs root"
  elif ! why=$(mount -t tmpfs -o size=8m kiv-small-drive "$mount" 2>&1); then
    why="mount -t tmpfs failed: $why"
  else
    why=
  fi
  if [ -n "$why" ]; then
    echo "wine: no small drive, the disk-full tests skip: $why" >&2
    export KIV_NO_SMALL_DRIVE=$why
    return 0
  fi
  KIV_SMALL_MOUNT=$mount
  ln -s "$mount" "$WINEPREFIX/dosdevices/k:"
  export KIV_SMALL_DRIVE=K:
}

# With the argument small-drive, also mounts the disk-full tests' drive.
wine_session_start() {
  kiv_locales || return 1
  kiv_wine_loader
  export LANG=$kiv_session_locale LC_ALL=$kiv_session_locale
  KIV_SESSION_DIR=$(mktemp -d /tmp/kiv-wine.XXXXXX)
  local template
  template=$(kiv_template_prefix)
  export WINEPREFIX=$KIV_SESSION_DIR/prefix WINEARCH=$(kiv_wine_arch) WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  cp -a "$template" "$WINEPREFIX"
  if [ "${1:-}" = small-drive ]; then kiv_small_drive_start; fi

  Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp >"$KIV_SESSION_DIR/display" 2>/dev/null &
  KIV_XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -s "$KIV_SESSION_DIR/display" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$KIV_SESSION_DIR/display")"

  wineserver -f -p </dev/null >/dev/null 2>&1 &
  KIV_WINESERVER_PID=$!
  # The first program starts Wine's services; they must not inherit a test's output pipe.
  wine cmd /c exit </dev/null >/dev/null 2>&1 || true
  echo "wine: prefix $WINEPREFIX, display $DISPLAY" >&2
}

wine_session_stop() {
  [ -n "${KIV_SESSION_DIR:-}" ] || return 0
  if [ -n "${KIV_WINESERVER_PID:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    local i
    for i in $(seq 50); do
      kill -0 "$KIV_WINESERVER_PID" 2>/dev/null || break
      sleep 0.1
    done
    kill -9 "$KIV_WINESERVER_PID" 2>/dev/null || true
  fi
  if [ -n "${KIV_XVFB_PID:-}" ]; then
    kill "$KIV_XVFB_PID" 2>/dev/null || true
    wait "$KIV_XVFB_PID" 2>/dev/null || true
  fi
  if [ -n "${KIV_SMALL_MOUNT:-}" ]; then
    # Lazily when busy: the session folder must not keep a mount behind.
    umount "$KIV_SMALL_MOUNT" 2>/dev/null || umount -l "$KIV_SMALL_MOUNT" || true
    KIV_SMALL_MOUNT=
  fi
  rm -rf "$KIV_SESSION_DIR"
  KIV_SESSION_DIR=
}
