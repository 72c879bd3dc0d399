// A disc's menu made before the disc tool lays the disc out: each title's picture taken from
// its stream by the encoder, each page drawn by the program, made a still of the disc's
// standard by the encoder and given its buttons and their highlight by spumux. The tools run
// one after another on the disc maker's worker; a stop ends the one that runs.
#pragma once
#include <atomic>
#include <string>
#include <vector>

#include "disc/DvdAuthoring.h"
#include "disc/Menu.h"
#include "encode/EncoderArgs.h"

namespace disc {

struct MenuJob {
    std::string encoder, spumux;
    std::string font;       // the font file its words are drawn in
    std::string work;       // a folder of its own, for its pictures and streams
    std::string discName;
    bool pal = true;
    std::vector<DiscTitle> titles;  // in the disc's order: a button each
};

// Makes each page's stream, in `pages` in their order; `done` counts its steps as they end, of
// MenuSteps(). Empty, or why it could not.
std::string MakeMenu(const MenuJob& job, std::vector<std::string>& pages, std::atomic<int>& done, const std::atomic<bool>& cancel);
int MenuSteps(int titles);

// The arguments of the menu's runs of the encoder, each for several files at once: the titles'
// pictures, each from a tenth into its stream, the size of its box and 4:3 as shown (a 16:9
// picture letterboxed into it), as BMPs; the pages' stills, a GOP of the standard each with
// silence.
struct MenuPicture {
    std::string stream;
    double seconds = 0;
    bool wide = false;
    std::string bmp;
};
encode::TArguments PicturesArguments(const std::vector<MenuPicture>& pictures, const MenuBox& box);
encode::TArguments StillsArguments(const std::vector<std::string>& pages, bool pal, const std::vector<std::string>& stills);
// How many titles' pictures one run of the encoder takes.
inline constexpr int kPicturesPerRun = 20;
// What spumux is told of a page: its highlight's pictures and each button's region and links.
std::string SpumuxXml(const MenuPage& page, const std::string& highlight, const std::string& chosen);

}  // namespace disc
