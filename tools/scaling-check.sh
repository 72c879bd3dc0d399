#!/usr/bin/env bash
# The window at 100, 150 and 200 %: the end-to-end driver's scaling tests, in a Wine prefix
# of their own, since the display's DPI is a setting of the whole prefix, and on a display of
# their own, so that they run beside the other tests. The prefix and its home folder stay in
# the build folder given, for the next run.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$1
export HOME=$build/scaling/home WINEPREFIX=$build/scaling/prefix
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
mkdir -p "$HOME"
source "$repo/tools/xvfb.sh"
start_xvfb
fresh=0
[ -f "$WINEPREFIX/system.reg" ] || fresh=1
source "$repo/tools/prefix.sh"
ensure_prefix  # before the run's server: see ./test
wineserver -p  # one server for the run, ended with it
trap 'wineserver -k 2>/dev/null || true; stop_xvfb' EXIT
if [ $fresh -eq 1 ]; then
  "$repo/tools/home-guard.sh" private-folders
  # Wine places the windows itself: no window manager runs on the virtual display.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
fi
wine cmd /c exit >/dev/null 2>&1 </dev/null  # Wine's services start here, not during a test
wine "$build/tests/e2e/e2e.exe" --gtest_filter='Scaling.*' </dev/null
