# Sourced by the run scripts: a scratch Wine prefix (copied from a cached
# template), Xvfb for the pages, and a persistent wineserver; each started
# process is recorded by pid so that wine_session_stop ends exactly those.

kiv_template_prefix() {
  local template=${KIV_PREFIX_TEMPLATE:-${XDG_CACHE_HOME:-$HOME/.cache}/kivforis55/prefix-win32-v3}
  if [ ! -f "$template/.kiv-ready" ]; then
    echo "wine: creating the template prefix $template (once)" >&2
    rm -rf "$template"
    mkdir -p "$(dirname "$template")"
    (
      export WINEPREFIX=$template WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
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
  fi
  printf '%s\n' "$template"
}

wine_session_start() {
  KIV_SESSION_DIR=$(mktemp -d /tmp/kiv-wine.XXXXXX)
  local template
  template=$(kiv_template_prefix)
  export WINEPREFIX=$KIV_SESSION_DIR/prefix WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  cp -a "$template" "$WINEPREFIX"

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
  rm -rf "$KIV_SESSION_DIR"
  KIV_SESSION_DIR=
}
