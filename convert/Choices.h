// What the user chose for the files a batch converts, one value each: the settings keep
// them, the menus and the Options window change them, the batch reads them.
#pragma once
#include <string>

#include "convert/DvdAuthoring.h"
#include "convert/FitLogic.h"
#include "convert/OutputNames.h"
#include "convert/TargetLogic.h"

namespace convert {

struct Choices {
    Target target = Target::Mpeg;
    Quality quality = Quality::Standard;
    FitTo fitTo{};
    IfExists ifExists = IfExists::Replace;  // a converted file from an earlier run
    std::string outputName{kDefaultOutputName};  // the pattern an output's name is made from
    bool besideInput = false;  // each output next to its input instead of in the output folder
    bool subfolders = false;   // a folder added brings the MP4 files of its whole tree
    bool subtitles = true;     // burned in: a file beside each input, else its own marked track
    int encoders = 0;          // how many run at once; 0: the machine's share
    Disc disc = Disc::None;    // a DVD batch's files, or a DVD-Video disc of them
    std::string discName{};    // the disc's name; empty: "DVD" and the day it is made
};

}  // namespace convert
