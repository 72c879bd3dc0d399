// TFindFile: lists the entries of a folder (and, optionally, its subfolders) matching a pattern.
#pragma once
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

    bool Recurse = false;
    std::string Directory;
    std::string Filter = "*.*";
    std::vector<std::string> Files;
    queue::TAttrOptions Attributes = queue::kDefaultAttributes;
    fw::TNotifyEvent BeforeExecute;
    fw::TNotifyEvent AfterExecute;
    TNewPathEvent OnNewPath;

    void Execute();

private:
    void SearchFolder(std::string folder);
    void SearchTree(std::string start);
    void CollectSubfolders(std::deque<std::string>& folders, std::string folder);

    unsigned mask_ = 0;
    bool abort_ = false;
};
