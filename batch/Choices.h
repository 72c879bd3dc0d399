// What the user chose for the files a batch converts, one value each: the settings keep
// them, the menus and the Options window change them, the batch reads them.
#pragma once
#include <string>

#include "disc/DvdAuthoring.h"
#include "disc/Menu.h"
#include "encode/FitLogic.h"
#include "batch/OutputNames.h"
#include "encode/Sound.h"
#include "encode/TargetLogic.h"

namespace batch {

struct Choices {
    encode::Target target = encode::Target::Mpeg;
    encode::Quality quality = encode::Quality::Standard;
    encode::FitTo fitTo{};
    encode::IfExists ifExists = encode::IfExists::Replace;  // a converted file from an earlier run
    std::string outputName{kDefaultOutputName};  // the pattern an output's name is made from
    bool besideInput = false;  // each output next to its input instead of in the output folder
    bool subfolders = false;   // a folder added brings the MP4 files of its whole tree
    bool subtitles = true;     // burned in: a file beside each input, else its own marked track
    int encoders = 0;          // how many run at once; 0: the machine's share
    disc::Disc disc = disc::Disc::None;    // a DVD batch's files, or a DVD-Video disc of them
    disc::DiscMenu discMenu = disc::DiscMenu::Titles;  // a disc opens on a menu of its titles, or plays them
    bool join = false;         // the files joined into one: a file, or one title of the disc
    // The name of what the batch makes as one, the disc or the joined file; empty: "DVD" or
    // "Joined" and the day it is made.
    std::string discName{};
    encode::Loudness loudness = encode::Loudness::Off;  // each file's sound evened out, or as it is
    encode::Fill fill = encode::Fill::Black;            // a disc's bars around the picture
};

}  // namespace batch
