// TFindFile: lists the entries of a folder (and, optionally, its subfolders) matching a pattern.
// A tree is walked level by level. It never follows a link to a folder (a symbolic link, a
// junction, a mount point), never enters a folder it has walked (by the file system's identity
// of the folder, as not every system marks a link), and leaves out the system's own folders;
// a folder it cannot read is passed over and named with the system's reason.
#pragma once
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "queue/QueueLogic.h"

class TFindFile : public fw::TComponent {
public:
    using TNewPathEvent = std::function<void(fw::TComponent* sender, const std::string& newPath, bool& abort)>;

    explicit TFindFile(fw::TComponent* owner) : fw::TComponent(owner) {}

    // A folder of the tree that could not be read, and the system's words for why.
    struct TFolderError {
        std::string folder;
        std::string reason;
    };

    bool Recurse = false;
    std::string Directory;
    std::string Filter = "*.*";
    std::vector<std::string> Files;
    std::vector<TFolderError> Unreadable;
    std::vector<std::string> Links;  // links and mount points of the tree, not followed
    // The files of Files whose data is online only (reading them downloads them), and their size.
    std::vector<std::size_t> OnlineOnly;
    std::int64_t OnlineBytes = 0;
    int FoldersSearched = 0;
    queue::TAttrOptions Attributes = queue::kDefaultAttributes;
    fw::TNotifyEvent BeforeExecute;
    fw::TNotifyEvent AfterExecute;
    TNewPathEvent OnNewPath;

    void Execute();

private:
    struct Pending {
        std::string folder;
        int depth = 0;
    };
    void SearchFolder(std::string folder);
    void SearchTree(std::string start);
    // Queues the folder's subfolders; false when it was walked before.
    bool CollectSubfolders(std::deque<Pending>& folders, const Pending& at);
    enum class Visit { First, Again, Unknown };
    // Whether the folder has been walked before (under another name, through a link), or
    // cannot be told.
    Visit FirstVisit(const std::string& folder);
    void NameUnreadable(const std::string& folder, unsigned long error);

    // A folder's identity: its volume's serial and its 128-bit file id.
    using Identity = std::array<std::uint64_t, 3>;
    std::vector<Identity> walked_;
    unsigned mask_ = 0;
    bool abort_ = false;
};
