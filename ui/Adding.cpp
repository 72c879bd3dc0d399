// Adding files and folders to the queue, and choosing the output folder.
#include <windows.h>
#include <commdlg.h>

#include <deque>
#include <memory>

#include "ui/Main.h"
#include "app/Settings.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Registry.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "framework/handles.h"
#include "queue/BrowseForFolderU.h"
#include "queue/FindFile.h"
#include "queue/Probe.h"
#include "queue/QueueLogic.h"

namespace {

// The folder picker, owned by the main window: the window takes no input while it is
// open (a click behind it must not start a conversion or add rows under one), and it is
// the window activated when the picker closes.
std::string PickFolder(HWND mainWindow, const char* prompt, const std::string& initialFolder)
{
    return BrowseForFolder(mainWindow, prompt, initialFolder, false);
}

// An ESC waiting in the thread's queue; it is taken out. Only the first key press in
// the queue is looked at, so that other keys keep their order.
bool EscapeWaiting()
{
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_NOREMOVE) || msg.wParam != VK_ESCAPE) return false;
    PeekMessageA(&msg, msg.hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE);
    return true;
}

// Above this many files, the label over the list says which one is being read.
constexpr std::size_t kShowProgressAbove = 3;

}  // namespace

std::optional<std::string> TfrmMain::ChooseMp4File()
{
    // The wide dialog: the chosen name in any script comes back whole, and on a system
    // whose code page cannot hold it, with "?" rather than a look-alike.
    wchar_t fileName[4096] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = L"MP4 Files\0*.mp4\0";
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName;
    dialog.nMaxFile = std::size(fileName);
    dialog.lpstrDefExt = L"mp4";
    dialog.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
    return fw::Narrow(fileName);
}

void TfrmMain::Button1Click(fw::TComponent*)
{
    if (Queue->Locked()) return;
    std::optional<std::string> path = ChooseMp4File();
    if (!path) return;
    if (queue::NameOutsideCodePage(*path)) {
        fw::Application->ShowMessage(queue::NameOutsideCodePageMessage(*path, fw::IsLeadByte));
        return;
    }
    std::optional<std::string> duration = ProbeDuration(*path);
    if (!duration) {
        fw::Application->ShowMessage(queue::kNoAnswerSingle);
        return;
    }
    Edit1->SetText(*path);
    Queue->Add(*path, *duration);
}

void TfrmMain::Button2Click(fw::TComponent*)
{
    if (Queue->Locked()) return;
    std::string folder = PickFolder(Handle(), "Select folder containing MP4 files", LastFolder);
    if (folder.empty() || Queue->Locked()) return;
    LastFolder = folder;
    Edit2->SetText(folder);
    AddFolderFiles(folder);
}

bool TfrmMain::AddFolderFiles(const std::string& folder)
{
    WaitForTools();
    FindFile1->Files.clear();
    FindFile1->Directory = folder;
    FindFile1->Execute();
    const std::vector<std::string> found = FindFile1->Files;

    const std::string listCaption = Label13->Caption();
    const fw::TBounds listCaptionBounds = Label13->Bounds();
    fw::scope_exit restoreCaption([&] {
        Label13->SetCaption(listCaption);
        Label13->SetBounds(listCaptionBounds);
    });
    if (found.size() > kShowProgressAbove) Label13->SetSize(ListView1->Width(), listCaptionBounds.height);

    // The next file's probe runs while the current one is read; rows still go in
    // strictly in the finder's order. A probe left over is let finish and its answer dropped.
    std::deque<std::unique_ptr<DurationProbe>> running;
    std::size_t next = 0;
    for (std::size_t i = 0; i < found.size(); ++i) {
        while (next < found.size() && running.size() < 2 && !queue::NameOutsideCodePage(found[next])) {
            const std::string answer = TempDir + queue::kAnswerFiles[next % 2];
            running.push_back(std::make_unique<DurationProbe>(MediainfoPath, found[next], answer, ProbeTimeLimitMs));
            ++next;
        }
        const std::string& path = found[i];
        if (queue::NameOutsideCodePage(path)) {
            fw::Application->ShowMessage(queue::NameOutsideCodePageMessage(path, fw::IsLeadByte));
            return true;
        }
        if (found.size() > kShowProgressAbove)
            Label13->SetCaption(queue::ReadingCaption(i + 1, found.size(), queue::FileNamePart(path, fw::IsLeadByte)));
        std::optional<std::string> duration = ReadProbeAnswer(*running.front());
        running.pop_front();
        if (!duration) {
            fw::Application->ShowMessage(queue::NoAnswerInFolderMessage(path, fw::IsLeadByte));
            return true;
        }
        Queue->Add(path, *duration);
        if (EscapeWaiting()) return false;
    }
    return true;
}

void TfrmMain::Button3Click(fw::TComponent*)
{
    if (Queue->Locked()) return;
    std::string folder = PickFolder(Handle(), "Select Output Folder", LastFolder);
    if (folder.empty() || Queue->Locked()) return;
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

std::optional<std::string> TfrmMain::ProbeDuration(const std::string& path)
{
    WaitForTools();
    DurationProbe probe(MediainfoPath, path, TempDir + queue::kAnswerFiles[0], ProbeTimeLimitMs);
    return ReadProbeAnswer(probe);
}

std::optional<std::string> TfrmMain::ReadProbeAnswer(DurationProbe& probe)
{
    if (!probe.Wait()) return std::nullopt;
    Memo3->LoadFromFile(probe.AnswerFile());  // the probe removes the file when it goes
    return queue::DurationEntryFromAnswer(Memo3->Lines());
}
