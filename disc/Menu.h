// A disc's menu, as the program lays it out: pages of up to six titles in two columns of
// three, each a picture of the title with its name and length, "Play all" on every page and
// "◂ Previous" and "Next ▸" where there are more pages, all inside the title-safe area of a 4:3
// TV frame (a tenth of its width and height from each edge). The buttons are numbered in
// reading order, the titles first, and the remote's arrows move between them as they lie.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace disc {

// Whether a disc opens on a menu of its titles (where it has two or more) or plays straight through.
enum class DiscMenu { Titles, None };
DiscMenu DiscMenuFromSetting(std::string_view setting);  // "titles" (the default) or "none"
const char* DiscMenuSetting(DiscMenu menu);
bool HasMenu(DiscMenu menu, int titles);

inline constexpr int kTitlesPerPage = 6;
int PagesFor(int titles);
int PageOf(int title);          // the page that holds title `title`, both from 1
int ButtonOnPage(int title);    // its button's number on that page, from 1

// A rectangle of the frame, in its stored pixels: right and bottom outside it.
struct MenuBox {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const MenuBox&) const = default;
};

enum class ButtonKind { Title, Previous, PlayAll, Next };
struct MenuButton {
    ButtonKind kind = ButtonKind::Title;
    int title = 0;  // a title's button: its title, from 1
    MenuBox box;    // the button's region; its highlight is an outline just inside it
    int up = 0, down = 0, left = 0, right = 0;  // the buttons the arrows move to, from 1
};

struct MenuPage {
    int number = 1, pages = 1;
    int width = 720, height = 576;  // the frame: PAL's 720x576 or NTSC's 720x480, shown 4:3
    MenuBox safe;       // the title-safe area
    MenuBox heading;    // the disc's name
    MenuBox pageLabel;  // "Page 2 of 4", where there is more than one page
    std::vector<MenuButton> buttons;  // in their numbers' order
};
MenuPage MenuPageOf(int page, int titles, bool pal);

// The parts of a title's button: its picture (4:3 as the TV shows it), its name and its length.
struct TitleParts {
    MenuBox picture, name, length;
};
TitleParts PartsOf(const MenuPage& page, const MenuButton& button);
// The letters' height of each text, in pixels: 20 or more, for a TV seen from a sofa. A title's
// name takes two lines where one is too short.
struct MenuLetters {
    int heading, name, length, button, pageLabel;
};
MenuLetters LettersOf(const MenuPage& page);
// The width of the outline that marks a button, and of every line drawn: 3 pixels or more, as
// thinner ones flicker on an interlaced TV.
inline constexpr int kMenuLine = 4;

// "3:25", "1:02:07": a title's length as its button shows it.
std::string LengthText(double seconds);
// "Page 2 of 4".
std::string PageText(int page, int pages);
// A button's own text: "◂ Previous", "Play all", "Next ▸"; none for a title's.
std::string ButtonText(ButtonKind kind);

}  // namespace disc
