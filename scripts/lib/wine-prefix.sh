# wine-prefix.sh: sourced by the scripts that run the Windows build under Wine. Sets WINE to the
# 64-bit loader (Debian's wine launcher warns on every start that the 32-bit half is missing) and
# Wine's quiet environment.
#
# make_wine_prefix DIR [COMMAND-PREFIX...]: a Wine prefix of the caller's own in DIR, made on the
# caller's X server ($DISPLAY, a private one, so that no Wine window reaches a real screen), with
# Wine's crash dialog off so that an unhandled exception ends its process at once with the
# exception code as its exit status. COMMAND-PREFIX (such as `env LANG=...`) goes before Wine.
# stop_wine_prefix DIR: stops that prefix's wineserver, and no other.

WINE=/usr/lib/wine/wine64
[ -x "$WINE" ] || WINE=$(command -v wine64 || command -v wine)
export WINE WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

make_wine_prefix() {
  local prefix=$1 key
  shift
  WINEPREFIX=$prefix timeout 120 "$@" "$WINE" wineboot --init >/dev/null 2>&1
  key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  WINEPREFIX=$prefix timeout 30 "$@" "$WINE" reg add "$key" /v Debugger /t REG_SZ /d '' /f \
    >/dev/null 2>&1
  WINEPREFIX=$prefix timeout 30 "$@" "$WINE" reg add "$key" /v Auto /t REG_SZ /d 0 /f >/dev/null 2>&1
  WINEPREFIX=$prefix timeout 30 "$@" "$WINE" reg add 'HKCU\Software\Wine\WineDbg' \
    /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  WINEPREFIX=$prefix timeout 30 wineserver -w
}

stop_wine_prefix() {
  WINEPREFIX=$1 timeout 30 wineserver -k 2>/dev/null || true
}
