// TListCaption: the caption above the list. It is the list's own ("Files to convert (…) ·
// about 345 KB"), or what an action or the batch says meanwhile, across the list's width.
// Its text is shown twice: in the label, and in a text window of its own that screen
// readers read, where they hear a batch's progress as it goes.
#pragma once
#include <functional>
#include <string>

#include "framework/Controls.h"

class TListCaption {
public:
    // Over the label the window placed; a longer caption takes the width `wide` gives (the list's).
    TListCaption(fw::TForm& form, fw::TLabel& label, std::function<int()> wide);
    // What an action says, or none for the list's own caption again; screen readers are
    // told when it changed.
    void ShowAction(const std::string& text);
    // The list's own caption, shown unless an action's is.
    void ShowOwn(const std::string& text);
    // A batch's progress as its caption; screen readers are told it again where `retell`.
    void ShowProgress(const std::string& caption, bool retell);
    void EndBatch();

private:
    // False when the label already showed it.
    bool Put(const std::string& caption);
    void Announce();

    fw::TForm& form_;
    fw::TLabel& label_;
    const std::function<int()> wide_;
    fw::TNameLabel* readerText_;
    const std::string bare_;  // the list's own caption as the label was made with it
    std::string own_, action_;
    std::string shown_;  // what the label says
    bool live_ = false;  // marked as a live region, as Narrator needs to read it
};
