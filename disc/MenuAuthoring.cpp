// The menu's commands for the disc tool.
#include "disc/MenuAuthoring.h"

#include <algorithm>

#include "disc/DvdAuthoring.h"
#include "disc/Menu.h"

namespace disc {

namespace {

std::string Format(bool pal)
{
    return pal ? "pal" : "ntsc";
}

// What a page's button does: play its title (from its clip's chapter on a joined disc), play
// all from the first, or show the page before or after it at its first button.
std::string ButtonCommand(const MenuButton& button, int page, const std::vector<int>& firstChapters)
{
    switch (button.kind) {
    case ButtonKind::Title:
        if (!firstChapters.empty())  // the manager may not jump to a chapter: the title set's menu does
            return "g2 = 0; g4 = 1; g5 = " + std::to_string(button.title) + "; jump titleset 1 menu entry ptt;";
        return "g2 = 0; jump title " + std::to_string(button.title) + ";";
    case ButtonKind::PlayAll: return "g2 = 1; jump title 1;";
    case ButtonKind::Previous: return "g1 = 1024; jump menu " + std::to_string(page - 1) + ";";
    case ButtonKind::Next: return "g1 = 1024; jump menu " + std::to_string(page + 1) + ";";
    }
    return {};
}

}  // namespace

int EndMenuOf(int title, int pages)
{
    return pages + 1 + DispatchMenuOf(title + 1);
}

std::string MenuManagerXml(int titles, bool pal, const std::vector<std::string>& pages, const std::vector<int>& firstChapters)
{
    const int count = static_cast<int>(pages.size()), returnMenu = count + 1;
    const int buttons = firstChapters.empty() ? titles : static_cast<int>(firstChapters.size());
    std::string xml = "  <fpc>g1 = 1024; g2 = 0; g4 = 1; jump menu 1;</fpc>\n  <menus>\n   <video format=\"" + Format(pal) + "\" aspect=\"4:3\"/>\n";
    for (int page = 1; page <= count; ++page) {
        xml += "   <pgc>\n    <pre>button = g1;</pre>\n    <vob file=\"" + pages[static_cast<std::size_t>(page - 1)] + "\" pause=\"inf\"/>\n";
        const MenuPage laid = MenuPageOf(page, buttons, pal);
        for (std::size_t n = 0; n < laid.buttons.size(); ++n)
            xml += "    <button name=\"b" + std::to_string(n + 1) + "\">" + ButtonCommand(laid.buttons[n], page, firstChapters) + "</button>\n";
        xml += "   </pgc>\n";
    }
    // The page of the title that plays, at its button: the Title key's menu, and where an end goes.
    xml += "   <pgc entry=\"title\">\n    <pre>g1 = g4 - 1; g1 %= " + std::to_string(kTitlesPerPage) + "; g1 += 1; g1 *= 1024; g3 = g4 - 1; g3 /= " +
           std::to_string(kTitlesPerPage) + "; ";
    for (int page = 2; page <= count; ++page) xml += "if (g3 == " + std::to_string(page - 1) + ") jump menu " + std::to_string(page) + "; ";
    xml += "jump menu 1;</pre>\n   </pgc>\n";
    // A title's end: the next title under "Play all", which after the last goes back to the
    // first page; else the ended title's page. Each menu takes the jumps to 40 titles, as a
    // program chain holds at most 128 commands and a jump takes two.
    for (int menu = 1; menu <= DispatchMenuOf(titles + 1); ++menu) {
        xml += "   <pgc>\n    <pre>if (g2 == 1) { ";
        for (int next = std::max(2, (menu - 1) * kDispatchesPerMenu + 2); next <= titles && DispatchMenuOf(next) == menu; ++next)
            xml += "if (g0 == " + std::to_string(next - 1) + ") jump title " + std::to_string(next) + "; ";
        xml += "g4 = 1; } g2 = 0; jump menu " + std::to_string(returnMenu) + ";</pre>\n   </pgc>\n";
    }
    return xml + "  </menus>\n";
}

std::string TitleSetMenuXml(bool pal, bool wide, const std::vector<int>& firstChapters)
{
    std::string xml = "  <menus>\n   <video format=\"" + Format(pal) + "\" aspect=\"" + (wide ? "16:9" : "4:3") +
                      "\"/>\n   <pgc entry=\"root\">\n    <pre>jump vmgm menu entry title;</pre>\n   </pgc>\n";
    if (firstChapters.empty()) return xml + "  </menus>\n";
    // A joined disc's clip in g5 (from 1), played from its chapter: its share of the clips'
    // menus found first, each holding 40 jumps, as a program chain holds at most 128 commands.
    const int clips = static_cast<int>(firstChapters.size()), shares = (clips + kDispatchesPerMenu - 1) / kDispatchesPerMenu;
    xml += "   <pgc entry=\"ptt\">\n    <pre>";
    for (int share = 1; share < shares; ++share)
        xml += "if (g5 &lt;= " + std::to_string(share * kDispatchesPerMenu) + ") jump menu " + std::to_string(share + 2) + "; ";
    xml += "jump menu " + std::to_string(shares + 2) + ";</pre>\n   </pgc>\n";
    for (int share = 0; share < shares; ++share) {
        xml += "   <pgc>\n    <pre>";
        for (int clip = share * kDispatchesPerMenu + 1; clip <= std::min(clips, (share + 1) * kDispatchesPerMenu); ++clip)
            xml += "if (g5 == " + std::to_string(clip) + ") jump title 1 chapter " + std::to_string(firstChapters[static_cast<std::size_t>(clip - 1)]) + "; ";
        xml += "jump vmgm menu entry title;</pre>\n   </pgc>\n";
    }
    return xml + "  </menus>\n";
}

}  // namespace disc
