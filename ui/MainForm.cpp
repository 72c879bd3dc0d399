// The main window's form description, read top to bottom like the window itself, and its
// chrome: the round shape, dragging by the pictures, minimising and the links. Bounds are
// those at 96 DPI; the window scales them to its display.
#include <windows.h>
#include <shellapi.h>

#include <functional>

#include "app/MainInstance.h"
#include "framework/Application.h"
#include "framework/errors.h"
#include "ui/BrowseForFolderU.h"
#include "ui/EzRgnBtn.h"
#include "ui/ListCaption.h"
#include "ui/Main.h"
#include "ui/Tranpanl.h"

namespace {

constexpr int kFormWidth = 503;
constexpr int kFormHeight = 479;
constexpr const char* kHomePage = "https://www.example.com/";

// Pictures and labels, in the order the window draws them (later ones on top); the captions
// of the path rows come with their rows.
struct GraphicRow {
    enum Kind { Picture, Text, Link, TargetText, ListCaptionText } kind;
    const char* name;
    fw::TBounds at;
    const char* content;  // bitmap resource or caption
    bool bold;
    const char* address;  // links only
};

const GraphicRow kGraphics[] = {
    {GraphicRow::Picture, "Backdrop", {0, 0, 503, 480}, "BACKGROUND", false, nullptr},
    {GraphicRow::Link, "ClipTrimmerLink", {281, 16, 0, 13}, "Clip Trimmer", true, "https://clip-trimmer.example.org/"},
    {GraphicRow::Link, "SupportLink", {382, 16, 45, 13}, "Support", true, "https://www.example.com/support"},
    {GraphicRow::Link, "AudioJoinerLink", {19, 450, 0, 13}, "Audio Joiner", true, "https://www.example.com/programs/audio-joiner"},
    {GraphicRow::Link, "PhotoResizerLink", {138, 450, 0, 13}, "Photo Resizer", true, "https://www.example.com/programs/photo-resizer"},
    {GraphicRow::Link, "SubtitleEditorLink", {240, 450, 0, 13}, "Subtitle Editor", true, "https://www.example.com/programs/subtitle-editor"},
    {GraphicRow::Link, "SlideshowStudioLink", {366, 450, 0, 13}, "Slideshow Studio", true, "https://slideshow-studio.example.org/"},
    {GraphicRow::TargetText, "TargetLabel", {443, 428, 31, 13}, "MPEG", true, nullptr},
    {GraphicRow::Picture, "Logo", {16, 12, 231, 53}, "LOGO", false, nullptr},
    {GraphicRow::Link, "BatchRenamerLink", {158, 16, 0, 13}, "Batch Renamer", true, "https://www.example.com/programs/batch-renamer"},
    {GraphicRow::Picture, "ConvertToPicture", {280, 392, 148, 33}, "CONVERT_TO", false, nullptr},
    {GraphicRow::ListCaptionText, "ListCaption", {16, 179, 275, 13}, app::kListCaptionText, false, nullptr},
};

}  // namespace

void TfrmMain::CreateControls()
{
    Color = RGB(220, 220, 220);
    const int width = Scaled(kFormWidth), height = Scaled(kFormHeight);
    SetBounds({(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height});
    SetText("Mervane");

    CreateGraphics();
    // Windowed controls lie above every picture and label.
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    for (const auto& [name, at] : {std::pair{"LogoLink", fw::TBounds{16, 12, 137, 30}},
                                   std::pair{"TaglineLink", fw::TBounds{16, 40, 233, 23}}}) {
        TTranPanel* panel = fw::Create<TTranPanel>(this, this);
        panel->Name = name;
        Place(panel, at);
        panel->Cursor = hand;
        panel->OnClick = [this](fw::TComponent*) { OpenWithShell(Handle(), kHomePage); };
    }
    CreatePictureButtons();
    CreatePathRows();
    CreateFileList();
    auto* convert = convertButton_ = fw::Create<TEzRgnBtn>(this, this);  // in the tab order after the list
    convert->Name = "ConvertButton";
    Place(convert, kConvertButtonAt);
    convert->LoadPictures("CONVERT_IDLE", "CONVERT_HOVER", "CONVERT_DOWN");
    convert->SetText("Convert to MPEG");
    convert->SetTabStop(true);
    convert->Cursor = hand;
    convert->OnClick = [this](fw::TComponent*) { session_.Start(); };
    convert->OnContextPopup = [this](POINT at) { OnConvertMenu(at); };
}

void TfrmMain::CreateGraphics()
{
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    for (const GraphicRow& row : kGraphics) {
        if (row.kind == GraphicRow::Picture) {
            fw::TImage* image = fw::Create<fw::TImage>(this, this);
            image->Name = row.name;
            Place(image, row.at);
            image->Backdrop = row.at.left == 0 && row.at.top == 0;
            image->LoadFromResource(row.content);
            image->OnMouseDown = [this](fw::TComponent*, fw::TMouseButton button, fw::TShiftState, int, int) {
                if (button == fw::TMouseButton::mbLeft) DragWindow(Handle());
            };
            continue;
        }
        fw::TLabel* label = fw::Create<fw::TLabel>(this, this);
        label->Name = row.name;
        Place(label, row.at);
        label->AutoSize = row.at.width == 0;
        label->SetFontStyle(row.bold, false);
        label->SetCaption(row.content);
        if (row.kind == GraphicRow::TargetText) targetLabel_ = label;
        if (row.kind == GraphicRow::ListCaptionText)
            listCaption_ = std::make_unique<TListCaption>(*this, *label, [this] { return fileList_->Width(); });
        if (row.kind != GraphicRow::Link) continue;
        const char* address = row.address;
        label->Link = true;
        label->Cursor = hand;
        label->OnClick = [this, address](fw::TComponent*) { OpenWithShell(Handle(), address); };
        label->OnMouseEnter = [label](fw::TComponent*) { label->SetFontStyle(true, true); };
        label->OnMouseLeave = [label](fw::TComponent*) { label->SetFontStyle(true, false); };
    }
}

void TfrmMain::CreatePictureButtons()
{
    // Their pictures, and the names screen readers read.
    struct PictureButtonRow {
        const char* name;
        fw::TBounds at;
        const char* pictures[3];  // idle, hover, pressed
        const char* text;
        const char* hint;
        std::function<void()> onClick;
    };
    const PictureButtonRow rows[] = {
        {"MinimiseButton", {437, 13, 23, 23}, {"MIN_IDLE", "MIN_HOVER", "MIN_DOWN"}, "Minimise", "Minimize",
         [] { fw::Application->Minimize(); }},
        {"CloseButton", {464, 13, 23, 23}, {"CLOSE_IDLE", "CLOSE_HOVER", "CLOSE_DOWN"}, "Close", "Close", [this] { OnCloseClick(); }},
    };
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    for (const PictureButtonRow& row : rows) {
        TEzRgnBtn* button = fw::Create<TEzRgnBtn>(this, this);
        button->Name = row.name;
        Place(button, row.at);
        button->LoadPictures(row.pictures[0], row.pictures[1], row.pictures[2]);
        button->SetText(row.text);
        button->Hint = row.hint;
        button->Cursor = hand;
        button->ShowHint = true;
        button->OnClick = [onClick = row.onClick](fw::TComponent*) { onClick(); };
        AddHintFor(button);
    }
}

namespace {

// A row of a path: its caption, the box that shows the path and the button that chooses it.
struct PathRow {
    const char* caption;
    const char* captionName;
    fw::TBounds captionAt;
    const char* editName;
    const char* button;
    int top;
    const char* text;
};

// Makes a row's controls: the box is named by the caption above it, a label window just
// before it; Tab goes from button to button. Its box.
fw::TEdit* CreatePathRow(fw::TForm& form, const PathRow& row, std::function<void()> onClick)
{
    fw::TLabel* caption = fw::Create<fw::TLabel>(&form, &form);
    caption->Name = row.captionName;
    form.Place(caption, row.captionAt);
    caption->SetCaption(row.caption);
    form.Place(fw::Create<fw::TNameLabel>(&form, &form, row.caption), row.captionAt);
    auto* edit = fw::Create<fw::TEdit>(&form, &form, fw::TBounds{}, ES_AUTOHSCROLL | ES_READONLY);
    edit->Name = row.editName;
    form.Place(edit, {16, row.top + 2, 360, 21});
    edit->SetFont(form.Font());
    edit->OnKeyPress = [](fw::TComponent*, char& key) { key = 0; };  // the boxes only show what was chosen
    auto* button = fw::Create<fw::TButton>(&form, &form, fw::TBounds{}, row.text);
    button->Name = row.button;
    form.Place(button, {384, row.top, 103, 25});
    button->SetFont(form.Font());
    button->SetTabStop(true);
    button->OnClick = [onClick = std::move(onClick)](fw::TComponent*) { onClick(); };
    return edit;
}

}  // namespace

void TfrmMain::CreatePathRows()
{
    // Nothing is chosen during a batch. The folder pickers are owned by the window: it takes
    // no input while one is open.
    auto unlessBusy = [this](std::function<void()> action) {
        return [this, action] {
            if (!session_.Busy()) action();
        };
    };
    auto pickFolder = [this](const char* title) { return BrowseForFolder(Handle(), title, session_.Intake().LastFolder(), false); };
    fileEdit_ = CreatePathRow(*this, {"Select single MP4 file", "FileCaption", {16, 64, 99, 13}, "FileEdit", "AddFileButton", 77, "&Add MP4 File"},
                              [this] { OnAddFileClick(); });
    folderEdit_ = CreatePathRow(*this,
                                {"Select folder containing MP4 files", "FolderCaption", {16, 102, 157, 13}, "FolderEdit",
                                 "AddFolderButton", 115, "Add &Folder"},
                                unlessBusy([=, this] {
                                    if (const std::string folder = pickFolder("Select folder containing MP4 files"); !folder.empty())
                                        session_.Intake().AddFolder(folder);
                                }));
    outputFolderEdit_ = CreatePathRow(*this,
                                      {"Select output folder", "OutputFolderCaption", {16, 139, 95, 13}, "OutputFolderEdit",
                                       "BrowseButton", 153, "&Browse"},
                                      unlessBusy([=, this] {
                                          if (const std::string folder = pickFolder("Select Output Folder"); !folder.empty())
                                              session_.ChooseOutputFolder(folder);
                                      }));
}

void TfrmMain::CreateFileList()
{
    fileList_ = fw::Create<fw::TListView>(this, this, fw::TBounds{},
                                          std::vector<fw::TListColumn>{{"Type", 40},
                                                                       {"File Name (click to view)", 154},
                                                                       {"Progress", 92},
                                                                       {"Converted File (click to open)", 129},
                                                                       {"DEL", 34}});
    fileList_->Name = "FileList";
    Place(fileList_, {15, 196, 473, 173});
    fileList_->SetFont(Font());
    fileList_->SetText("Files to convert");  // its name for screen readers
    fileList_->SetTabStop(true);
    fileList_->Cursor = LoadCursor(nullptr, IDC_HAND);
    fileList_->OnClick = [this](fw::TComponent*) { OnListClick(); };
    fileList_->OnKeyDown = [this](fw::TComponent*, WORD& key, fw::TShiftState shift) { OnListKeyDown(key, shift); };
    fileList_->OnOpen = [this](fw::TComponent*) {
        const int row = fileList_->SelectedIndex();
        if (!session_.Busy() && row >= 0) OpenWithShell(Handle(), session_.Queue().Path(row));
    };
    fileList_->OnContextPopup = [this](fw::TComponent*, POINT at) { OnListMenu(at); };
    fileList_->OnRowTip = [this](int row) { return RowTip(row); };
    fileList_->OnCustomDrawSubItem = [this](fw::TComponent*, int row, int column, fw::TListView::CellStyle& style,
                                            bool& defaultDraw) {
        DrawCell(row, column, style);
        defaultDraw = true;
    };
}

void TfrmMain::ApplyShape()
{
    const int corner = Scaled(30);
    fw::SetWindowRegion(Handle(), fw::unique_hrgn(CreateRoundRectRgn(0, 0, Width(), Height(), corner, corner)));
}

void DragWindow(HWND window)
{
    fw::Guarded([&] {
        ReleaseCapture();
        SendMessageA(window, WM_SYSCOMMAND, 0xF012, 0);  // move, as if by the caption
    });
}

void OpenWithShell(HWND owner, const std::string& target)
{
    ShellExecuteA(owner, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}
