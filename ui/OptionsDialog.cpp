// "Options…": the dialog of the resource script, filled from the settings and read back on OK.
#include "ui/OptionsDialog.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "encode/Join.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "resources/dialogs.h"
#include "ui/BrowseForFolderU.h"
#include "ui/Choices.h"
#include "ui/Commands.h"

namespace {

struct Dialog {
    OptionsShown options;
    NameExample example;
    bool busy = false;
    bool otherSize = false;
};

// A balloon on a box whose text cannot be taken, the focus on it.
void Refuse(HWND dialog, int id, const wchar_t* title, const wchar_t* text)
{
    EDITBALLOONTIP tip{sizeof tip, title, text, TTI_NONE};
    HWND box = GetDlgItem(dialog, id);
    SetFocus(box);
    SendMessageW(box, EM_SHOWBALLOONTIP, 0, reinterpret_cast<LPARAM>(&tip));
}


std::string Text(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return fw::Narrow(text);
}

// A list of choices as the menus name them, without their mnemonics, the chosen one selected.
void Fill(HWND dialog, int id, const std::vector<std::wstring>& texts, int chosen)
{
    for (const std::wstring& text : texts)
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(view::WithoutMnemonic(text).c_str()));
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(chosen), 0);
}

int Chosen(HWND dialog, int id)
{
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

void ShowExample(HWND dialog, const Dialog& d)
{
    const auto target = static_cast<encode::Target>(std::max(0, Chosen(dialog, IDC_TARGET)));
    const std::string name = d.example(Text(dialog, IDC_NAME), target);
    SetDlgItemTextW(dialog, IDC_EXAMPLE, fw::Wide("For example: " + name).c_str());
}

void EnableFitSize(HWND dialog, bool busy)
{
    EnableWindow(GetDlgItem(dialog, IDC_FIT_SIZE), !busy && Chosen(dialog, IDC_FIT) == view::kFitOther);
}

// The name of what the batch makes as one when none is chosen: "DVD" or "Joined", and today.
bool TodaysName(const std::string& name)
{
    return name == disc::DefaultDiscName(fw::TodayText()) || name == encode::DefaultJoinedName(fw::TodayText());
}

std::string TodaysName(bool disc, bool join)
{
    return disc || !join ? disc::DefaultDiscName(fw::TodayText()) : encode::DefaultJoinedName(fw::TodayText());
}

// The disc choices apply where the table says (the DVD targets); the name box where a disc
// is made or the files are joined, today's name following which.
void EnableDisc(HWND dialog, bool busy)
{
    batch::Choices target;
    view::GroupOf(view::Group::Target).take(target, std::max(0, Chosen(dialog, IDC_TARGET)));
    const bool dvd = view::GroupOf(view::Group::Disc).applies(target);
    const bool disc = dvd && Chosen(dialog, IDC_DISC) == static_cast<int>(disc::Disc::DvdVideo);
    const bool join = IsDlgButtonChecked(dialog, IDC_JOIN) == BST_CHECKED;
    EnableWindow(GetDlgItem(dialog, IDC_DISC), !busy && dvd);
    EnableWindow(GetDlgItem(dialog, IDC_DISC_MENU), !busy && disc);
    EnableWindow(GetDlgItem(dialog, IDC_DISC_NAME), !busy && (disc || join));
    if (TodaysName(fw::Trim(Text(dialog, IDC_DISC_NAME)))) SetDlgItemTextW(dialog, IDC_DISC_NAME, fw::Wide(TodaysName(disc, join)).c_str());
}

void Load(HWND dialog, const Dialog& d)
{
    const batch::Choices& o = d.options.choices;
    CheckRadioButton(dialog, IDC_TO_FOLDER, IDC_BESIDE, o.besideInput ? IDC_BESIDE : IDC_TO_FOLDER);
    SetDlgItemTextW(dialog, IDC_OUTPUT_FOLDER, fw::Wide(d.options.outputFolder).c_str());
    SetDlgItemTextW(dialog, IDC_NAME, fw::Wide(o.outputName).c_str());
    CheckDlgButton(dialog, IDC_SUBFOLDERS, o.subfolders ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_SUBTITLES, o.subtitles ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_EXPLORER_VERB, d.options.explorerVerb ? BST_CHECKED : BST_UNCHECKED);
    // The choices as the menus offer them; the size to fit also "Other size", in megabytes.
    for (const view::ChoiceGroup& group : view::ChoiceGroups())
        if (group.optionsList != IDC_FIT) Fill(dialog, group.optionsList, group.texts, group.chosen(o));
    std::vector<std::wstring> fits = view::GroupOf(view::Group::FitTo).texts;
    fits.push_back(L"Other size");
    const int fit = view::FitChoice(o.fitTo);
    Fill(dialog, IDC_FIT, fits, fit);
    SendDlgItemMessageW(dialog, IDC_FIT_SIZE, EM_LIMITTEXT, 7, 0);
    if (fit == view::kFitOther) SetDlgItemTextW(dialog, IDC_FIT_SIZE, fw::Wide(encode::FitSetting(o.fitTo)).c_str());
    std::vector<std::wstring> encoders{L"Automatic"};
    for (int n = 1; n <= batch::kMostEncoders; ++n) encoders.push_back(std::to_wstring(n));
    Fill(dialog, IDC_ENCODERS, encoders, o.encoders);
    Fill(dialog, IDC_WHEN, view::kWhenBatchEndsChoices, static_cast<int>(d.options.whenBatchEnds));
    CheckDlgButton(dialog, IDC_JOIN, o.join ? BST_CHECKED : BST_UNCHECKED);
    SetDlgItemTextW(dialog, IDC_DISC_NAME, fw::Wide(o.discName.empty() ? TodaysName(disc::MakesDisc(o.disc, o.target), o.join) : o.discName).c_str());
    EnableDisc(dialog, d.busy);
    if (d.otherSize && !d.busy) SendDlgItemMessageW(dialog, IDC_FIT, CB_SETCURSEL, view::kFitOther, 0);
    EnableFitSize(dialog, d.busy);
    ShowExample(dialog, d);
    if (d.otherSize && !d.busy) SetFocus(GetDlgItem(dialog, IDC_FIT_SIZE));
    if (!d.busy) return;
    // Read-only while a batch converts: every box and choice is shown, none can change.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetDlgCtrlID(child) != IDCANCEL && GetDlgCtrlID(child) != IDC_BUSY_NOTE) EnableWindow(child, FALSE);
    SetDlgItemTextW(dialog, IDC_BUSY_NOTE, L"A batch is converting: the options can be changed once it has ended.");
    SetDlgItemTextW(dialog, IDCANCEL, L"Close");
    SendMessageW(dialog, DM_SETDEFID, IDCANCEL, 0);
    SetFocus(GetDlgItem(dialog, IDCANCEL));
}

// Reads what was chosen; false, with a balloon on the box, when the size to fit is not a number.
bool Read(HWND dialog, OptionsShown& shown)
{
    const int fit = Chosen(dialog, IDC_FIT);
    const encode::FitTo fitTo = fit < view::kFitOther ? view::FixedFit(std::max(0, fit)) : encode::FitToFromSetting(Text(dialog, IDC_FIT_SIZE));
    if (fit == view::kFitOther && fitTo.bytes == 0) return Refuse(dialog, IDC_FIT_SIZE, L"Megabytes", L"Type a size of 1 MB or more."), false;
    const std::string folder = fw::Trim(Text(dialog, IDC_OUTPUT_FOLDER));
    if (!fw::DirectoryExists(folder))
        return Refuse(dialog, IDC_OUTPUT_FOLDER, L"Output folder", L"There is no folder of that name. Type one that exists, or Browse."), false;
    // A folder typed relative to wherever the program was started is kept as the full path it names.
    shown.outputFolder = folder == shown.outputFolder ? folder : fw::FullPath(folder);
    shown.whenBatchEnds = static_cast<app::AfterBatch>(Chosen(dialog, IDC_WHEN));
    shown.explorerVerb = IsDlgButtonChecked(dialog, IDC_EXPLORER_VERB) == BST_CHECKED;
    batch::Choices& o = shown.choices;
    o.besideInput = IsDlgButtonChecked(dialog, IDC_BESIDE) == BST_CHECKED;
    o.outputName = Text(dialog, IDC_NAME);
    o.subfolders = IsDlgButtonChecked(dialog, IDC_SUBFOLDERS) == BST_CHECKED;
    o.subtitles = IsDlgButtonChecked(dialog, IDC_SUBTITLES) == BST_CHECKED;
    for (const view::ChoiceGroup& group : view::ChoiceGroups())
        if (group.optionsList != IDC_FIT) group.take(o, Chosen(dialog, group.optionsList));
    o.fitTo = fitTo;
    o.encoders = Chosen(dialog, IDC_ENCODERS);
    // Today's name is kept as none: the next disc takes its own day's.
    o.join = IsDlgButtonChecked(dialog, IDC_JOIN) == BST_CHECKED;
    const std::string discName = fw::Trim(Text(dialog, IDC_DISC_NAME));
    o.discName = TodaysName(discName) ? std::string() : discName;
    return true;
}

INT_PTR CALLBACK OptionsProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* d = reinterpret_cast<Dialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (msg) {
    case WM_INITDIALOG:
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        Load(dialog, *reinterpret_cast<Dialog*>(lParam));
        // The focus on the first control, unless it was put elsewhere.
        return !reinterpret_cast<Dialog*>(lParam)->busy && !reinterpret_cast<Dialog*>(lParam)->otherSize;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_NAME:
            if (HIWORD(wParam) == EN_CHANGE) ShowExample(dialog, *d);
            return TRUE;
        case IDC_TARGET:
            if (HIWORD(wParam) == CBN_SELCHANGE) ShowExample(dialog, *d), EnableDisc(dialog, d->busy);
            return TRUE;
        case IDC_DISC:
        case IDC_JOIN:  // what the batch makes, and so the name box
            if (HIWORD(wParam) == CBN_SELCHANGE || LOWORD(wParam) == IDC_JOIN) EnableDisc(dialog, d->busy);
            return TRUE;
        case IDC_FIT:
            if (HIWORD(wParam) == CBN_SELCHANGE) EnableFitSize(dialog, d->busy);
            return TRUE;
        case IDC_BROWSE:
            if (const std::string folder = BrowseForFolder(dialog, "Select the output folder", Text(dialog, IDC_OUTPUT_FOLDER), true);
                !folder.empty()) {
                SetDlgItemTextW(dialog, IDC_OUTPUT_FOLDER, fw::Wide(folder).c_str());
                CheckRadioButton(dialog, IDC_TO_FOLDER, IDC_BESIDE, IDC_TO_FOLDER);
            }
            return TRUE;
        case IDOK:
            if (!d->busy && Read(dialog, d->options)) EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        default: return FALSE;
        }
    default: return FALSE;
    }
}

}  // namespace

bool ShowOptions(HWND owner, OptionsShown& options, const NameExample& example, bool busy, bool otherSize)
{
    Dialog d{options, example, busy, otherSize};
    if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_OPTIONS), owner, &OptionsProc, reinterpret_cast<LPARAM>(&d)) != IDOK)
        return false;
    options = d.options;
    return true;
}
