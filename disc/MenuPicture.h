// A menu page drawn by the program as the TV shows it, and the pictures of its highlight.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "disc/Menu.h"

namespace disc {

// What a page shows of the disc and of each of its titles (by title, from 1 at [0]).
struct MenuTexts {
    std::string discName;
    std::vector<std::string> names;   // the inputs' names without their extension
    std::vector<double> seconds;
    std::vector<std::string> pictures;  // each title's picture, a BMP of its box's size; none drawn where missing
};

// The menu's colours, within video levels (no channel past 235, no saturated red): a dark
// background, light text, the pictures' frames, and the highlight's outline under the cursor
// and once chosen.
inline constexpr COLORREF kMenuBackground = RGB(24, 30, 44);
inline constexpr COLORREF kMenuText = RGB(232, 232, 226);
inline constexpr COLORREF kMenuFrame = RGB(88, 98, 120);
inline constexpr COLORREF kMenuHighlight = RGB(232, 196, 72);
inline constexpr COLORREF kMenuChosen = RGB(96, 200, 232);

// Draws the page into a 24-bit BMP at `path`, its words in the face of the font file `font`
// (a sans-serif): the disc's name, each title's picture, name and length, the buttons' words
// and the page's. Empty, or why it could not.
std::string DrawMenuPage(const MenuPage& page, const MenuTexts& texts, const std::string& font, const std::string& path);
// Each button's outline in `colour` on transparency, the frame's size, as a PNG at `path`
// (Windows' imaging component writes it). Empty, or why it could not.
std::string DrawHighlight(const MenuPage& page, COLORREF colour, const std::string& path);

}  // namespace disc
