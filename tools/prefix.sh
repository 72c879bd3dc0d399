# Sourced: makes the Wine prefix in $WINEPREFIX when it is new.
# Made while the display is up, and waited for to the end: a Wine server that was started
# without a display lives on for a few seconds, and a program started in it meanwhile
# finds no display and ends at once.
ensure_prefix() {
  [ -f "$WINEPREFIX/system.reg" ] && return 0
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
}
