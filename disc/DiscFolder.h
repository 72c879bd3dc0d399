// A disc's folder on the disk: its files, whether a folder is one the program may replace,
// the name a new disc takes beside others, and its removal.
#pragma once
#include <string>
#include <vector>

#include "disc/DiscImage.h"
#include "encode/TargetLogic.h"
#include "encode/WorkFiles.h"

namespace disc {

// The files of a folder, with their sizes; none where it cannot be read.
std::vector<DiscFile> FilesIn(const std::string& folder);
std::int64_t BytesIn(const std::string& folder);

// The folder of a disc `name` in `folder` and its image, by the choice for an existing disc:
// the name itself, "name (2)"… where another is there, or none where it is skipped. A disc
// of the name is replaced only where it is one (IsDiscFolder), never another folder.
struct DiscPlace {
    std::string name;
    bool replace = false;  // a disc of the name is there and goes
    bool skipped = false;
};
DiscPlace PlaceDisc(const std::string& folder, const std::string& name, encode::IfExists ifExists);
// The first of "name (2)", "name (3)"… whose folder and image are both free.
std::string FreeDiscName(const std::string& folder, const std::string& name);
// Whether a folder is a disc the program may replace: its VIDEO_TS, and nothing but its
// AUDIO_TS and what Explorer adds (desktop.ini, Thumbs.db) beside it.
bool IsDiscFolder(const std::string& folder);
// Removes a disc's folder as the disc tool makes it: its VIDEO_TS and AUDIO_TS and their
// files, and what Explorer added.
void RemoveDiscFolder(const std::string& folder);

}  // namespace disc
