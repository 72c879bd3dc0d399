// TFindFile: lists the entries of a folder (and, optionally, its subfolders) matching a pattern.
// A tree is walked level by level. It never follows a link to a folder, never enters a folder
// it has walked (by the file system's identity of the folder, as not every system marks a
// link), and leaves out the system's own folders; a folder it cannot read is passed over and
// named in Unreadable.
#pragma once
#include <deque>
#include <tuple>
#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "queue/QueueLogic.h"

class TFindFile : public fw::TComponent {
public:
    using TNewPathEvent = std::function<void(fw::TComponent* sender, const std::string& newPath, bool& abort)>;

    explicit TFindFile(fw::TComponent* owner) : fw::TComponent(owner) {}

    bool Recurse = false;
    std::string Directory;
    std::string Filter = "*.*";
    std::vector<std::string> Files;
    std::vector<std::string> Unreadable;  // folders of the tree that could not be read
    int FoldersSearched = 0;
    queue::TAttrOptions Attributes = queue::kDefaultAttributes;
    fw::TNotifyEvent BeforeExecute;
    fw::TNotifyEvent AfterExecute;
    TNewPathEvent OnNewPath;

    void Execute();

private:
    void SearchFolder(std::string folder);
    void SearchTree(std::string start);
    // Queues the folder's subfolders; false when it was walked before.
    bool CollectSubfolders(std::deque<std::string>& folders, std::string folder);
    // False when the folder has been walked before (under another name, through a link).
    bool FirstVisit(const std::string& folder);

    std::vector<std::tuple<unsigned long, unsigned long, unsigned long>> walked_;  // volume and file index
    unsigned mask_ = 0;
    bool abort_ = false;
};
