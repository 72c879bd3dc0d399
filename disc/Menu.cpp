// The menu's pages laid out: boxes and links, from the frame's size alone.
#include "disc/Menu.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace disc {

DiscMenu DiscMenuFromSetting(std::string_view setting)
{
    return setting == "none" ? DiscMenu::None : DiscMenu::Titles;
}

const char* DiscMenuSetting(DiscMenu menu)
{
    return menu == DiscMenu::None ? "none" : "titles";
}

bool HasMenu(DiscMenu menu, int titles)
{
    return menu == DiscMenu::Titles && titles >= 2;
}

int PagesFor(int titles)
{
    return std::max(1, (titles + kTitlesPerPage - 1) / kTitlesPerPage);
}

int PageOf(int title)
{
    return (title - 1) / kTitlesPerPage + 1;
}

int ButtonOnPage(int title)
{
    return (title - 1) % kTitlesPerPage + 1;
}

namespace {

// The arrows' links: in the grid of titles by row and column, then along the bottom row, each
// edge keeping the button where it is.
void Link(std::vector<MenuButton>& buttons, int titles)
{
    auto numberOf = [&](ButtonKind kind) {
        for (std::size_t n = 0; n < buttons.size(); ++n)
            if (buttons[n].kind == kind) return static_cast<int>(n) + 1;
        return 0;
    };
    const int previous = numberOf(ButtonKind::Previous), playAll = numberOf(ButtonKind::PlayAll), next = numberOf(ButtonKind::Next);
    auto lastInColumn = [&](int column) {
        for (int i = titles - 1; i >= 0; --i)
            if (i % 2 == column) return i + 1;
        return titles;
    };
    for (int i = 0; i < titles; ++i) {
        MenuButton& b = buttons[static_cast<std::size_t>(i)];
        const int self = i + 1, column = i % 2;
        b.up = i >= 2 ? self - 2 : self;
        b.down = i + 2 < titles ? self + 2 : column == 0 ? (previous ? previous : playAll) : (next ? next : playAll);
        b.left = column == 1 ? self - 1 : self;
        b.right = column == 0 && i + 1 < titles ? self + 1 : self;
    }
    const std::vector<int> row = [&] {
        std::vector<int> r;
        for (int n : {previous, playAll, next})
            if (n) r.push_back(n);
        return r;
    }();
    for (std::size_t at = 0; at < row.size(); ++at) {
        MenuButton& b = buttons[static_cast<std::size_t>(row[at] - 1)];
        b.left = at > 0 ? row[at - 1] : row[at];
        b.right = at + 1 < row.size() ? row[at + 1] : row[at];
        b.down = row[at];
        b.up = b.kind == ButtonKind::Previous ? lastInColumn(0) : b.kind == ButtonKind::Next ? lastInColumn(1) : titles;
    }
}

}  // namespace

MenuPage MenuPageOf(int number, int titles, bool pal)
{
    MenuPage page{.number = number, .pages = PagesFor(titles), .height = pal ? 576 : 480};
    const int w = page.width, h = page.height;
    // Every edge on an even line: a box starts and ends with the same field of an interlaced frame.
    const int top = (h / 10 + 1) & ~1;
    page.safe = {w / 10, top, w - w / 10, h - top};
    const MenuBox& s = page.safe;
    const int line = h / 12, gap = h / 48;  // a line of the heading or of the bottom row, and the space between boxes
    page.heading = {s.left, s.top, s.right, s.top + line};
    if (page.pages > 1) {
        page.pageLabel = {s.right - w / 4, s.top, s.right, s.top + line};
        page.heading.right = page.pageLabel.left - gap;
    }
    const int bottom = s.bottom - line, gridTop = page.heading.bottom + gap, gridBottom = bottom - gap;
    const int cellWidth = (s.Width() - gap) / 2, cellHeight = ((gridBottom - gridTop - 2 * gap) / 3) & ~1;
    const int first = (number - 1) * kTitlesPerPage + 1, onPage = std::min(kTitlesPerPage, titles - first + 1);
    for (int i = 0; i < onPage; ++i) {
        const int left = s.left + (i % 2) * (cellWidth + gap), top = gridTop + (i / 2) * (cellHeight + gap);
        page.buttons.push_back({ButtonKind::Title, first + i, {left, top, left + cellWidth, top + cellHeight}});
    }
    const int third = (s.Width() - 2 * gap) / 3;
    auto along = [&](ButtonKind kind, int place) {
        const int left = s.left + place * (third + gap);
        page.buttons.push_back({kind, 0, {left, bottom, left + third, s.bottom}});
    };
    if (number > 1) along(ButtonKind::Previous, 0);
    along(ButtonKind::PlayAll, 1);
    if (number < page.pages) along(ButtonKind::Next, 2);
    Link(page.buttons, onPage);
    return page;
}

TitleParts PartsOf(const MenuPage& page, const MenuButton& button)
{
    // Inside the outline, with room to spare; the picture 4:3 as shown, in pixels that PAL
    // shows 16:15 wide and NTSC 8:9, and four fifths of the height, to leave the name two
    // lines of words beside it.
    const MenuBox& b = button.box;
    const int pad = kMenuLine + 2, inner = b.Height() - 2 * pad;
    const int height = (inner * 4 / 5) & ~1, top = b.top + pad + (inner - height) / 2;
    const int width = page.height == 576 ? height * 5 / 4 : height * 3 / 2;
    TitleParts parts;
    parts.picture = {b.left + 2 * pad, top, b.left + 2 * pad + width, top + height};
    const int textLeft = parts.picture.right + 2 * pad, lengthTop = b.top + pad + inner * 2 / 3;
    parts.name = {textLeft, b.top + pad, b.right - pad, lengthTop};
    parts.length = {textLeft, lengthTop, b.right - pad, b.bottom - pad};
    return parts;
}

MenuLetters LettersOf(const MenuPage& page)
{
    const int line = page.height / 12;
    return {line * 3 / 4, page.height / 24, page.height / 24, std::max(24, line / 2), 24};
}

std::string LengthText(double seconds)
{
    const long whole = std::lround(std::max(0.0, seconds));
    char text[24];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    return text;
}

std::string PageText(int page, int pages)
{
    return "Page " + std::to_string(page) + " of " + std::to_string(pages);
}

std::string ButtonText(ButtonKind kind)
{
    switch (kind) {
    case ButtonKind::Previous: return "\u25C2 Previous";
    case ButtonKind::PlayAll: return "Play all";
    case ButtonKind::Next: return "Next \u25B8";
    default: return {};
    }
}

}  // namespace disc
