// Adding files and folders to the queue, and choosing the output folder.
#include <windows.h>
#include <commdlg.h>

#include "app/Main.h"
#include "app/Settings.h"
#include "framework/Application.h"
#include "framework/Registry.h"
#include "framework/errors.h"
#include "queue/BrowseForFolderU.h"
#include "queue/FindFile.h"
#include "queue/QueueLogic.h"

std::optional<std::string> TfrmMain::ChooseMp4File()
{
    char fileName[4096] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = "MP4 Files\0*.mp4\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = sizeof fileName;
    dialog.lpstrDefExt = "mp4";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!GetOpenFileNameA(&dialog)) return std::nullopt;
    return std::string(fileName);
}

void TfrmMain::Button1Click(fw::TComponent*)
{
    if (Converting) return;
    std::optional<std::string> path = ChooseMp4File();
    if (!path) return;
    std::optional<std::string> duration = ProbeDuration(*path);
    if (!duration) {
        fw::Application->ShowMessage(queue::kNoAnswerSingle);
        return;
    }
    Edit1->SetText(*path);
    AddQueueRow(*path, *duration);
}

void TfrmMain::Button2Click(fw::TComponent*)
{
    if (Converting) return;
    std::string folder = BrowseForFolder("Select folder containing MP4 files", LastFolder, false);
    if (folder.empty()) return;
    LastFolder = folder;
    Edit2->SetText(folder);

    FindFile1->Files.clear();
    FindFile1->Directory = folder;
    FindFile1->Execute();
    const std::vector<std::string> found = FindFile1->Files;
    for (const std::string& path : found) {
        std::optional<std::string> duration = ProbeDuration(path);
        if (!duration) {
            fw::Application->ShowMessage(queue::NoAnswerInFolderMessage(path));
            return;
        }
        AddQueueRow(path, *duration);
    }
}

void TfrmMain::Button3Click(fw::TComponent*)
{
    if (Converting) return;
    std::string folder = BrowseForFolder("Select Output Folder", LastFolder, false);
    if (folder.empty()) return;
    fw::Guarded([&] {
        fw::TRegistry settings(kSettingsKey);
        settings.WriteString("WorkDir", folder);
        Edit4->SetText(folder);
        Edit3->SetText(Edit4->Text());
        WorkDir = Edit3->Text();
    });
}

void TfrmMain::EditKeyPress(fw::TComponent*, char& key)
{
    key = 0;  // the boxes only show what was chosen
}
