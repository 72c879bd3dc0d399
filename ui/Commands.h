// The window's commands: the user's choices as one table (each choice's texts, which one is
// chosen, whether it applies, and how it is taken) that both menus and the Options window
// read, and the menus built from it with each item's action beside it.
#pragma once
#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "app/Session.h"
#include "framework/handles.h"
#include "ui/ListLogic.h"

namespace view {

// One of the user's choices as the menus and the Options window offer it.
struct ChoiceGroup {
    const wchar_t* menuTitle;  // "&Quality"; none for the target, whose choices head the convert button's menu
    int optionsList;           // the Options window's list of it
    std::vector<std::wstring> texts;  // in their order, with the menus' mnemonics
    std::function<int(const batch::Choices&)> chosen;      // its place; -1 for none of them
    std::function<void(batch::Choices&, int place)> take;  // the choice at a place, taken
    std::function<bool(const batch::Choices&)> applies;    // else greyed
};
// The target, the quality, the size to fit (its fixed sizes), what a DVD batch makes, the
// rule for an existing file, each file's sound, a disc's bars and its menu (these three in
// Options only).
const std::vector<ChoiceGroup>& ChoiceGroups();
enum class Group { Target, Quality, FitTo, Disc, IfExists, Loudness, Fill, DiscMenu };
const ChoiceGroup& GroupOf(Group group);

}  // namespace view

// A menu's commands: each item appended under an id of its own, its action kept beside it.
class TCommands {
public:
    // An item's state: greyed, the chosen one of its choices (a radio bullet), or a setting
    // that is on (a tick).
    enum State : UINT { kNormal = 0, kChosen = MF_CHECKED, kGreyed = MF_GRAYED, kTicked = 0x40000000 };
    // Appends an item to `menu` under the next id; that id.
    UINT Append(HMENU menu, const std::wstring& text, UINT state, std::function<void()> action);
    // A submenu of one choice group, the chosen one marked; greyed during a batch.
    void AppendGroup(HMENU menu, const view::ChoiceGroup& group, app::TSession& session);
    // Shows the menu at `screen` and runs the command chosen, if any.
    void Track(HMENU menu, HWND owner, POINT screen) const;

private:
    std::vector<std::function<void()>> actions_;  // the id is the place, from 1
};

// What the window's own commands do, for the menus to call.
struct WindowCommands {
    std::function<void(bool otherSize)> options;  // "Options…", and "Fit to ▸ Other size…"
    std::function<void()> about;
};

// The list's context menu: its items (each's action by its place), "When the batch ends"
// with its choices, the choices' groups, Options and About.
fw::unique_hmenu BuildListMenu(TCommands& commands, const std::array<bool, view::kMenuItems>& enabled,
                               const std::array<std::function<void()>, view::kMenuItems>& items, app::TSession& session,
                               bool canSleep, const WindowCommands& window);
// The convert button's menu: the targets, then the quality, the size to fit and what a DVD
// batch makes, Options and About.
fw::unique_hmenu BuildConvertMenu(TCommands& commands, app::TSession& session, const WindowCommands& window);
