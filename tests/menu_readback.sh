#!/usr/bin/env bash
# Walks the discs the engine's tests leave in DIR as a player does, with Debian's libdvdnav
# (tests/helpers/menu_walk.c, built here into WORK), each step checked:
# - the batch's disc of eight titles (menu/Eight): page 1 with 6 titles, Play all and Next;
#   button 5 plays title 5 and its end brings page 1 back with button 5 chosen; Next shows
#   page 2 with 2 titles, Previous and Play all; Play all plays titles 1 to 8 and ends on page
#   1; the Menu and Title keys show the page of the title that plays, at its button;
# - the disc of 99 titles (disc-many/Many): its 17th page's last title button plays title 99;
# - a joined disc (join/Joined): its clips' buttons play its one title from their chapters;
# - a disc without a menu (disc/Holiday): it plays title 1 when put in, then title 2.
set -euo pipefail
dir=$1 work=$2
walker=$work/menu_walk
cc -O2 -o "$walker" "$(dirname "$0")/helpers/menu_walk.c" $(pkg-config --cflags --libs dvdnav)
walk() {
  echo "== $1"
  "$walker" "$dir/$@" 2>&1 | grep -v '^libdvd\|^\*\*\|^$'  # the libraries' own notices left out
}
walk menu/Eight menu:8:1 press:5 title:5 menu:8:5 press:8 menu:4:1 press:1 title:7 menu:4:1 press:4 \
  titles:1,2,3,4,5,6,7,8 menu:8:1 press:3 key:menu menu:8:3 press:2 key:title menu:8:2
next=(menu:8:1 press:8)
for page in $(seq 2 16); do next+=(menu:9:1 press:9); done
walk disc-many/Many "${next[@]}" menu:5:1 press:3 title:99 menu:5:3
walk join/Joined menu:4:1 press:2 chapter:2 menu:4:1 press:3 chapter:3
walk disc/Holiday title:1 title:2
