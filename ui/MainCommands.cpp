// The window's menus and Options: each menu built from the commands' table with the actions
// of its items, and the Options window's choices taken.
#include <windows.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "framework/Application.h"
#include "ui/AboutDialog.h"
#include "ui/Commands.h"
#include "ui/ListLogic.h"
#include "ui/Main.h"
#include "ui/OptionsDialog.h"

void TfrmMain::OnListMenu(POINT screen)
{
    TQueue& queue = session_.Queue();
    const std::vector<int> selected = fileList_->SelectedRows();
    view::MenuFacts facts;
    for (int row : selected) facts.selected.push_back(queue.State(row));
    facts.selectedHasNote = selected.size() == 1 && !queue.Reason(selected[0]).empty();
    facts.anyDone = !queue.FinishedRows().empty();
    facts.batchRunning = session_.Busy();
    facts.batchPaused = session_.Batch().Paused();
    const int first = selected.empty() ? -1 : selected[0];
    // The items' actions, in the order of view::MenuItem.
    const std::array<std::function<void()>, view::kMenuItems> items{
        [&] { OpenWithShell(Handle(), queue.Path(first)); },
        [&] { OpenWithShell(Handle(), session_.OutputFolderOf(first)); },
        [&] { fw::Application->ShowMessage(session_.ReasonMessage(first)); },
        [&] { for (int row : selected) queue.Retry(row); },
        [&] { queue.RemoveRows(selected); },
        [&] { queue.RemoveFinished(); },
        [&] { session_.Batch().PauseOrResume(); },
        [&] { session_.Batch().PauseOrResume(); },
        [&] { AskStop(); },
        {},  // "When the batch ends" is a submenu
    };
    TCommands commands;
    const WindowCommands window{[this](bool otherSize) { OnOptions(otherSize); }, [this] { ShowAbout(Handle()); }};
    const bool canSleep = app::SystemSleepKind() != app::SleepKind::None;
    fw::unique_hmenu menu = BuildListMenu(commands, view::MenuEnabled(facts), items, session_, canSleep, window);
    commands.Track(menu.get(), Handle(), screen);
}

void TfrmMain::OnConvertMenu(POINT screen)
{
    TCommands commands;
    const WindowCommands window{[this](bool otherSize) { OnOptions(otherSize); }, [this] { ShowAbout(Handle()); }};
    fw::unique_hmenu menu = BuildConvertMenu(commands, session_, window);
    commands.Track(menu.get(), Handle(), screen);
}

void TfrmMain::OnOptions(bool otherSize)
{
    OptionsShown shown{session_.Settings().Choices(), session_.Folders().output, session_.WhenBatchEnds(),
                       session_.Settings().ExplorerVerb()};
    const std::vector<int> selected = fileList_->SelectedRows();
    const NameExample example = session_.NameExamples(selected.empty() ? -1 : selected[0]);
    if (!ShowOptions(Handle(), shown, example, session_.Busy(), otherSize) || session_.Busy()) return;
    if (shown.outputFolder != session_.Folders().output) session_.ChooseOutputFolder(shown.outputFolder);
    session_.WhenBatchEnds() = shown.whenBatchEnds;
    if (shown.explorerVerb != session_.Settings().ExplorerVerb()) session_.ShowInExplorer(shown.explorerVerb);
    session_.Choose(shown.choices);
}

