// The main window's form description, read top to bottom like the window itself, and its
// chrome: the round shape, dragging by the pictures, minimising and the links. Bounds are
// those at 96 DPI; the window scales them to its display.
#include <windows.h>
#include <shellapi.h>

#include "ui/Main.h"
#include "app/MainInstance.h"
#include "framework/Application.h"
#include "framework/errors.h"
#include "queue/FindFile.h"
#include "ui/EzRgnBtn.h"
#include "ui/Tranpanl.h"

namespace {

constexpr int kFormWidth = 503;
constexpr int kFormHeight = 479;

constexpr const char* kHomePage = "https://www.example.com/";

// Pictures and labels, in the order the window draws them (later ones on top).
struct GraphicRow {
    enum Kind { Picture, Text, Link } kind;
    fw::TBounds at;
    const char* content;  // bitmap resource or caption
    bool bold;
    const char* address;  // links only
};

}  // namespace

void TfrmMain::CreateControls()
{
    using fw::TBounds;
    MainInstance1 = fw::Create<TMainInstance>(this);  // a second copy ends here

    Color = RGB(220, 220, 220);
    const int width = Scaled(kFormWidth), height = Scaled(kFormHeight);
    SetBounds({(GetSystemMetrics(SM_CXSCREEN) - width) / 2, (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height});
    SetText("Mervane");

    const struct {
        fw::TImage* TfrmMain::*image;
        fw::TLabel* TfrmMain::*label;
        GraphicRow row;
    } graphics[] = {
        {&TfrmMain::Image1, nullptr, {GraphicRow::Picture, {0, 0, 503, 480}, "BACKGROUND", false, nullptr}},
        {nullptr, &TfrmMain::Label2, {GraphicRow::Link, {281, 16, 0, 13}, "Clip Trimmer", true, "https://clip-trimmer.example.org/"}},
        {nullptr, &TfrmMain::Label3, {GraphicRow::Link, {382, 16, 45, 13}, "Support", true, "https://www.example.com/support"}},
        {nullptr, &TfrmMain::Label4, {GraphicRow::Link, {19, 450, 0, 13}, "Audio Joiner", true, "https://www.example.com/programs/audio-joiner"}},
        {nullptr, &TfrmMain::Label5, {GraphicRow::Link, {138, 450, 0, 13}, "Photo Resizer", true, "https://www.example.com/programs/photo-resizer"}},
        {nullptr, &TfrmMain::Label6, {GraphicRow::Link, {240, 450, 0, 13}, "Subtitle Editor", true, "https://www.example.com/programs/subtitle-editor"}},
        {nullptr, &TfrmMain::Label7, {GraphicRow::Link, {366, 450, 0, 13}, "Slideshow Studio", true, "https://slideshow-studio.example.org/"}},
        {nullptr, &TfrmMain::Label8, {GraphicRow::Text, {443, 428, 31, 13}, "MPEG", true, nullptr}},
        {&TfrmMain::Image2, nullptr, {GraphicRow::Picture, {16, 12, 231, 53}, "LOGO", false, nullptr}},
        {nullptr, &TfrmMain::Label1, {GraphicRow::Link, {158, 16, 0, 13}, "Batch Renamer", true, "https://www.example.com/programs/batch-renamer"}},
        {&TfrmMain::Image3, nullptr, {GraphicRow::Picture, {280, 392, 148, 33}, "CONVERT_TO", false, nullptr}},
        {nullptr, &TfrmMain::Label10, {GraphicRow::Text, {16, 64, 99, 13}, "Select single MP4 file", false, nullptr}},
        {nullptr, &TfrmMain::Label11, {GraphicRow::Text, {16, 102, 157, 13}, "Select folder containing MP4 files", false, nullptr}},
        {nullptr, &TfrmMain::Label12, {GraphicRow::Text, {16, 139, 95, 13}, "Select output folder", false, nullptr}},
        {nullptr, &TfrmMain::Label13, {GraphicRow::Text, {16, 179, 275, 13}, "Files to convert (DEL to remove selected file from the list)", false, nullptr}},
        {nullptr, &TfrmMain::Label14, {GraphicRow::Text, {544, 216, 0, 13}, "File Paths", false, nullptr}},
        {nullptr, &TfrmMain::Label15, {GraphicRow::Text, {696, 216, 0, 13}, "Duration (sec)", false, nullptr}},
        {nullptr, &TfrmMain::Label16, {GraphicRow::Text, {544, 104, 0, 13}, "Used for mediainfo, to make open.bat", false, nullptr}},
        {nullptr, &TfrmMain::Label17, {GraphicRow::Text, {544, 56, 0, 13}, "Keep WorkDir Name", false, nullptr}},
    };
    HCURSOR hand = LoadCursor(nullptr, IDC_HAND);
    auto dragHandler = [this](fw::TComponent* s, fw::TMouseButton b, fw::TShiftState sh, int x, int y) {
        Image1MouseDown(s, b, sh, x, y);
    };
    for (const auto& g : graphics) {
        const GraphicRow& row = g.row;
        if (row.kind == GraphicRow::Picture) {
            fw::TImage* image = fw::Create<fw::TImage>(this, this);
            this->*g.image = image;
            Place(image, row.at);
            image->Backdrop = g.image == &TfrmMain::Image1;
            image->LoadFromResource(row.content);
            image->OnMouseDown = dragHandler;
            continue;
        }
        fw::TLabel* label = fw::Create<fw::TLabel>(this, this);
        this->*g.label = label;
        Place(label, row.at);
        label->AutoSize = row.at.width == 0;
        label->SetFontStyle(row.bold, false);
        label->SetCaption(row.content);
        if (row.kind == GraphicRow::Link) {
            const char* address = row.address;
            label->Link = true;
            label->Cursor = hand;
            label->OnClick = [this, address](fw::TComponent*) { OpenLink(address); };
            label->OnMouseEnter = [this](fw::TComponent* s) { LinkMouseEnter(s); };
            label->OnMouseLeave = [this](fw::TComponent* s) { LinkMouseLeave(s); };
        }
    }

    // Windowed controls lie above every picture and label.
    TranPanel1 = fw::Create<TTranPanel>(this, this);
    Place(TranPanel1, {16, 12, 137, 30});
    TranPanel2 = fw::Create<TTranPanel>(this, this);
    Place(TranPanel2, {16, 40, 233, 23});
    for (TTranPanel* panel : {TranPanel1, TranPanel2}) {
        panel->Cursor = hand;
        panel->OnClick = [this](fw::TComponent*) { OpenLink(kHomePage); };
    }

    // The image buttons' window texts are the names screen readers read.
    EzRgnBtn1 = fw::Create<TEzRgnBtn>(this, this);
    Place(EzRgnBtn1, {437, 13, 23, 23});
    EzRgnBtn1->LoadPictures("MIN_IDLE", "MIN_HOVER", "MIN_DOWN");
    EzRgnBtn1->SetText("Minimise");
    EzRgnBtn1->Hint = "Minimize";
    EzRgnBtn1->OnClick = [this](fw::TComponent* s) { EzRgnBtn1Click(s); };
    EzRgnBtn2 = fw::Create<TEzRgnBtn>(this, this);
    Place(EzRgnBtn2, {464, 13, 23, 23});
    EzRgnBtn2->LoadPictures("CLOSE_IDLE", "CLOSE_HOVER", "CLOSE_DOWN");
    EzRgnBtn2->SetText("Close");
    EzRgnBtn2->Hint = "Close";
    EzRgnBtn2->OnClick = [this](fw::TComponent* s) { EzRgnBtn2Click(s); };
    for (TEzRgnBtn* button : {EzRgnBtn1, EzRgnBtn2}) {
        button->Cursor = hand;
        button->ShowHint = true;
        button->SetPaintMode(pmCrop);
        AddHintFor(button);
    }

    // Each edit shows a path and is named by the caption above it, a label window just before
    // it; Tab goes from button to button.
    auto editRow = [this](fw::TEdit*& edit, fw::TButton*& button, int top, const fw::TLabel* name,
                          const char* caption, void (TfrmMain::*onClick)(fw::TComponent*)) {
        Place(fw::Create<fw::TNameLabel>(this, this, name->Caption()), name->PlacedAt().value());
        edit = fw::Create<fw::TEdit>(this, this, TBounds{}, ES_AUTOHSCROLL | ES_READONLY);
        Place(edit, {16, top + 2, 360, 21});
        edit->SetFont(Font());
        edit->OnKeyPress = [this](fw::TComponent* s, char& key) { EditKeyPress(s, key); };
        button = fw::Create<fw::TButton>(this, this, TBounds{}, caption);
        Place(button, {384, top, 103, 25});
        button->SetFont(Font());
        button->SetTabStop(true);
        button->OnClick = [this, onClick](fw::TComponent* s) { (this->*onClick)(s); };
    };
    editRow(Edit1, Button1, 77, Label10, "&Add MP4 File", &TfrmMain::Button1Click);
    editRow(Edit2, Button2, 115, Label11, "Add &Folder", &TfrmMain::Button2Click);
    editRow(Edit3, Button3, 153, Label12, "&Browse", &TfrmMain::Button3Click);

    ListView1 = fw::Create<fw::TListView>(this, this, TBounds{},
                                          std::vector<fw::TListColumn>{{"Type", 40},
                                                                       {"File Name (click to view)", 154},
                                                                       {"Progress", 65},
                                                                       {"Converted File (click to open)", 156},
                                                                       {"DEL", 34}});
    Place(ListView1, {15, 196, 473, 173});
    ListView1->SetFont(Font());
    ListView1->SetText("Files to convert");  // its name for screen readers
    ListView1->SetTabStop(true);
    ListView1->Cursor = hand;
    ListView1->OnClick = [this](fw::TComponent* s) { ListView1Click(s); };
    ListView1->OnKeyDown = [this](fw::TComponent* s, WORD& key, fw::TShiftState sh) { ListView1KeyDown(s, key, sh); };
    ListView1->OnOpen = [this](fw::TComponent* s) { ListView1Open(s); };
    ListView1->OnContextPopup = [this](fw::TComponent* s, POINT at) { ListView1ContextPopup(s, at); };
    ListView1->OnRowTip = [this](int row) { return ListView1RowTip(row); };
    ListView1->OnCustomDrawSubItem = [this](fw::TComponent* s, int row, int column, fw::TListView::CellStyle& style,
                                            bool& defaultDraw) {
        d4_ListViewCustomDrawSubItem(s, row, column, style, defaultDraw);
    };

    EzRgnBtn3 = fw::Create<TEzRgnBtn>(this, this);
    Place(EzRgnBtn3, {436, 384, 41, 41});
    EzRgnBtn3->LoadPictures("CONVERT_IDLE", "CONVERT_HOVER", "CONVERT_DOWN");
    EzRgnBtn3->SetText("Convert to MPEG");
    EzRgnBtn3->SetTabStop(true);
    EzRgnBtn3->Cursor = hand;
    EzRgnBtn3->SetPaintMode(pmCrop);
    EzRgnBtn3->OnClick = [this](fw::TComponent* s) { EzRgnBtn3Click(s); };

    // Working data, right of the visible area.
    Edit4 = fw::Create<fw::TEdit>(this, this, TBounds{});
    Place(Edit4, {544, 72, 201, 21});
    Memo3 = fw::Create<fw::TMemo>(this, this, TBounds{});
    Place(Memo3, {544, 120, 185, 89});
    ListBox1 = fw::Create<fw::TListBox>(this, this, TBounds{});
    Place(ListBox1, {544, 232, 121, 97});
    ListBox2 = fw::Create<fw::TListBox>(this, this, TBounds{});
    Place(ListBox2, {696, 232, 96, 97});
    Queue = std::make_unique<TQueue>(*ListView1, *ListBox1, *ListBox2);
    Batch = std::make_unique<convert::TBatch>(*Queue, this, Handle(),
                                              [this](fw::TComponent* s) { MyTimerEventHandlerConversion(s); });
    Batch->OnEnd = [this] { BatchEndedLater(); };
    // Whichever control has the focus: Esc during a batch asks whether to stop it, and
    // Ctrl+O is "Add MP4 File".
    fw::Application->OnMessage = [this](const MSG& msg) {
        if (msg.message != WM_KEYDOWN || (msg.hwnd != Handle() && !IsChild(Handle(), msg.hwnd))) return false;
        if (msg.wParam == VK_ESCAPE && Converting()) {
            AskStop();
            return true;
        }
        if (msg.wParam == 'O' && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0 && GetKeyState(VK_SHIFT) >= 0) {
            Button1Click(Button1);
            return true;
        }
        return false;
    };
    OnDpiChanged = [this](fw::TComponent*) { ApplyShape(); };

    FindFile1 = fw::Create<TFindFile>(this);
    FindFile1->Filter = "*.mp4";

    OnShow = [this](fw::TComponent* s) { FormShow(s); };
    DragAcceptFiles(Handle(), TRUE);  // files and folders dropped anywhere on the window
    constexpr UINT kCopyGlobalData = 0x0049;  // carries a drop's file list across processes
    fw::AllowFromLowerIntegrity(Handle(), {WM_DROPFILES, WM_COPYDATA, kCopyGlobalData});
}

void TfrmMain::ApplyShape()
{
    const int corner = Scaled(30);
    fw::SetWindowRegion(Handle(), fw::unique_hrgn(CreateRoundRectRgn(0, 0, Width(), Height(), corner, corner)));
}

void TfrmMain::FormShow(fw::TComponent*)
{
    ApplyShape();
    for (fw::TWinControl* control : std::initializer_list<fw::TWinControl*>{TranPanel1, TranPanel2, EzRgnBtn1,
                                                                           EzRgnBtn2, EzRgnBtn3})
        control->Invalidate();
    if (!Tools.Started()) OfferLeftBehindRowsLater();  // the first showing only
    StageTools();
}

void TfrmMain::Image1MouseDown(fw::TComponent*, fw::TMouseButton button, fw::TShiftState, int, int)
{
    if (button != fw::TMouseButton::mbLeft) return;
    fw::Guarded([&] {
        ReleaseCapture();
        SendMessageA(Handle(), WM_SYSCOMMAND, 0xF012, 0);  // move, as if by the caption
    });
}

void TfrmMain::EzRgnBtn1Click(fw::TComponent*)
{
    fw::Application->Minimize();
}

void TfrmMain::LinkMouseEnter(fw::TComponent* sender)
{
    static_cast<fw::TLabel*>(sender)->SetFontStyle(true, true);
}

void TfrmMain::LinkMouseLeave(fw::TComponent* sender)
{
    static_cast<fw::TLabel*>(sender)->SetFontStyle(true, false);
}

void TfrmMain::OpenLink(const char* address)
{
    ShellExecuteA(Handle(), "open", address, nullptr, nullptr, SW_SHOW);
}
