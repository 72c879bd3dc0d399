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

# The Wine session of a run of tests or benchmarks, in $WINEPREFIX on the display already up:
# a new prefix is made, and its server gone, before the run's own server starts (made under a
# server that stays, it left its boot's desktop and a second service manager running, and
# every later program then waited about ten seconds at times); one server for the whole run;
# no window manager (none runs on the virtual display, and a window left to one waits two
# seconds for it each time it hides); Wine's own services started before the first program,
# so that they do not hold an output pipe open after it has ended.
start_wine_session() {
  wineserver -k 2>/dev/null || true
  ensure_prefix
  wineserver -p
  tools/home-guard.sh private-folders  # the tests' Documents folder is not the home folder
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
  wine cmd /c exit >/dev/null 2>&1 </dev/null
}
