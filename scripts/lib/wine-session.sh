# Sourced by the scripts that run Windows programs: a private Xvfb display (unless
# one is given), a private Wine prefix, and a trap that stops both again.
#   wine_session_start PREFIX [headless]   wine_session_keep_desktop KEEPER_EXE
#   wine_session_stop
. "$(dirname "${BASH_SOURCE[0]}")/platform.sh"

wine_session_start() {
  local prefix=$1 headless=${2:-}
  export WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  # A 64-bit prefix; with 32-bit Wine installed it is a WoW64 one, which runs
  # 32- and 64-bit programs alike.
  export WINEARCH=win64
  WINE_SESSION_XVFB=""
  if [ -n "$headless" ] || [ -z "${DISPLAY:-}" ]; then
    # Xvfb picks a free display itself, so parallel sessions never collide.
    local fifo
    fifo=$(mktemp -u)
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
    WINE_SESSION_XVFB=$!
    local display
    read -r display <"$fifo"
    rm -f "$fifo"
    export DISPLAY=":$display"
  fi
  trap wine_session_stop EXIT
  # The prefix records the Wine installation that made it and is made afresh
  # when that changes: a prefix of 64-bit-only Wine has no 32-bit system folder,
  # and 32-bit Wine installed later then cannot load kernel32.dll in it.
  local identity
  identity="prefix $WINEARCH; $(wine_identity)"
  if [ ! -f "$WINEPREFIX/.sentel-ready" ] || [ "$(cat "$WINEPREFIX/.sentel-ready")" != "$identity" ]; then
    [ -d "$WINEPREFIX" ] && echo "wine-session: making $WINEPREFIX afresh for $identity" >&2
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    # Captions need real glyphs.
    mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
    cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
    # Wine's own desktop acts as the window manager: without one Wine stalls
    # when a shown window closes or a tray icon goes.
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1024 /f >/dev/null 2>&1
    wineserver -w
    echo "$identity" >"$WINEPREFIX/.sentel-ready"
  fi
  # Start Wine's background services now, with their output away from any pipe a
  # test runner waits on.
  wine cmd /c exit >/dev/null 2>&1 </dev/null || true
}

# Starts a process that stays on the desktop until the session stops, so that
# the desktop and its notification area live from one program to the next.
wine_session_keep_desktop() {
  local keeper=$1 _
  [ -f "$keeper" ] || return 0
  wine "$keeper" >/dev/null 2>&1 </dev/null &
  # Until the desktop is there, the first test would start Wine's desktop process
  # itself, which then holds that test's output pipe and keeps ctest waiting.
  for _ in $(seq 300); do
    xwininfo -root -children 2>/dev/null | grep -q 'Wine desktop' && return 0
    sleep 0.1
  done
  echo "wine-session: the desktop did not appear" >&2
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  if [ -n "${WINE_SESSION_XVFB:-}" ]; then
    kill "$WINE_SESSION_XVFB" >/dev/null 2>&1 || true
    wait "$WINE_SESSION_XVFB" 2>/dev/null || true
    WINE_SESSION_XVFB=""
  fi
}
