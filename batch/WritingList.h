// The temporaries this copy is writing, listed in a file it holds for its whole run; the
// next start removes what the list of a copy that crashed names.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "framework/HeldFile.h"

namespace batch {

class TWritingList {
public:
    explicit TWritingList(const std::string& folder) : file_(folder, "writing") {}

    void Add(const std::string& temporary);
    void Remove(const std::string& temporary);

    // Removes the temporaries named by the lists of copies that did not end normally.
    static void RemoveOrphans(const std::string& folder);

private:
    fw::THeldFile file_;
    std::vector<std::string> temporaries_;
};

// What tells a list of a temporary being written (true) and of its end (false), where there
// is a list.
std::function<void(const std::string& temporary, bool writing)> WritingTeller(TWritingList* list);

}  // namespace batch
