// The temporaries being written, listed where a later start can find them.
#include "batch/WritingList.h"

#include <windows.h>

#include <algorithm>

#include "batch/OutputFiles.h"
#include "disc/DiscMaker.h"
#include "framework/Files.h"
#include "framework/text.h"

namespace batch {

void TWritingList::Add(const std::string& temporary)
{
    temporaries_.push_back(temporary);
    file_.Write(fw::JoinLines(temporaries_));
}

void TWritingList::Remove(const std::string& temporary)
{
    temporaries_.erase(std::remove(temporaries_.begin(), temporaries_.end(), temporary), temporaries_.end());
    file_.Write(fw::JoinLines(temporaries_));
}

void TWritingList::RemoveOrphans(const std::string& folder)
{
    // Only what is one of our temporaries by its name: a damaged list never costs a user's file.
    for (const std::string& list : fw::THeldFile::TakeLeftBehind(folder, "writing"))
        for (const std::string& path : fw::SplitLines(list))
            if (encode::IsTemporaryName(path) && fw::DirectoryExists(path)) disc::RemoveDiscFolder(path);  // a disc being made
            else if (encode::IsTemporaryName(path)) DeleteFileW(fw::WidePath(path).c_str());
}

std::function<void(const std::string& temporary, bool writing)> WritingTeller(TWritingList* list)
{
    return [list](const std::string& temporary, bool writing) {
        if (!list) return;
        writing ? list->Add(temporary) : list->Remove(temporary);
    };
}

}  // namespace batch
