// What the disc tool is told of a disc's menu: its pages as menus of the disc's own manager,
// each page's still with its buttons, and the commands that take the buttons, the titles' ends
// and the remote's Menu and Title keys where they belong. Registers: g0 the title that ended,
// g1 the button a page opens on (its number times 1024), g2 whether "Play all" plays, g3 a
// page's place, g4 the title that plays, g5 a joined disc's clip to play.
#pragma once
#include <string>
#include <vector>

namespace disc {

// The manager's menus: the pages (1 to `pages.size()`), then the menu that shows the page of
// the title that plays (the Title key's), then those that take each title's end on: to the
// next title under "Play all", else back to its page. A joined disc's one title has a chapter
// for each clip, `firstChapters` each clip's first: its buttons play from there.
std::string MenuManagerXml(int titles, bool pal, const std::vector<std::string>& pages, const std::vector<int>& firstChapters = {});
// The manager's menu that a title's end calls.
int EndMenuOf(int title, int pages);
// A title set's own menu, which the Menu key opens: the manager's page of the title that plays;
// on a joined disc, also the menus that play its one title from the chapter of the clip whose
// button was chosen (g5).
std::string TitleSetMenuXml(bool pal, bool wide, const std::vector<int>& firstChapters = {});

}  // namespace disc
