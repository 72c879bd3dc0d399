// "Options…": every setting in one dialog.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "app/Session.h"

// What the Options window shows and changes: the user's choices, the output folder, and what
// follows the batch.
struct OptionsShown {
    batch::Choices choices;
    std::string outputFolder;
    app::AfterBatch whenBatchEnds = app::AfterBatch::Nothing;
    bool explorerVerb = false;  // "Convert with Mervane" in Explorer
};

// The output name a pattern gives for a target, shown as the pattern's example.
using NameExample = std::function<std::string(const std::string& pattern, encode::Target target)>;

// Shows the settings; true when the user chose OK, `options` then holding what was chosen. During a batch everything is shown read-only,
// and the dialog says why. With `otherSize` ("Fit to ▸ Other size…") it opens at the size to
// fit, "Other size" chosen and its megabytes to type.
bool ShowOptions(HWND owner, OptionsShown& options, const NameExample& example, bool busy, bool otherSize = false);
