// TDiscMaker: a DVD batch's streams made into a DVD-Video disc once they are converted. The
// disc tool lays them out as a VIDEO_TS folder, then a thread writes its image beside it.
// Both are made under working names and take the disc's name only when both are whole; the
// streams then go. Whatever ends it early (a failure, the user's stop, the program's end)
// leaves no half disc and keeps the streams.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "disc/DiscFolder.h"
#include "disc/DvdAuthoring.h"
#include "disc/Menu.h"
#include "encode/WorkFiles.h"
#include "framework/Worker.h"
#include "framework/handles.h"

class TAdvancedTimer;

namespace disc {

struct DiscJob {
    std::string tool;          // the disc tool
    DiscMenu menu = DiscMenu::None;  // a menu of its titles, made with these tools and this font:
    std::string encoder{}, spumux{}, font{};
    std::string folder;        // where the disc goes
    std::string name;          // its name: the folder's, and the image's before ".iso"
    bool pal = true;
    bool oneTitle = false;     // joined: one title, each stream a chapter
    encode::IfExists ifExists = encode::IfExists::Replace;  // for a disc of that name already there
    std::string workFolder;    // for the tool's layout and what it says
    // Told of each temporary the disc writes (true) and when it is gone or taken up (false), to
    // list it against a crash; none where nothing lists them.
    std::function<void(const std::string& temporary, bool writing)> writing{};
};

struct DiscResult {
    bool made = false;
    std::string name;     // as made: "Holiday (2)" where "Holiday" was there
    std::string folder;   // its folder, as made
    std::string failure;  // why it was not made
    std::string image{};  // its image as made; none where it could not be
    std::string note{};   // what of a made disc is not as asked: its image, an old disc kept
};

class TDiscMaker {
public:
    explicit TDiscMaker(DiscJob job);
    // Ends the making where it is: nothing of the disc is left.
    ~TDiscMaker();
    TDiscMaker(const TDiscMaker&) = delete;
    TDiscMaker& operator=(const TDiscMaker&) = delete;

    // A converted file, a title at its place in the queue (`order`).
    void AddTitle(int order, DiscTitle title);
    int Titles() const { return static_cast<int>(titles_.size()); }
    // The titles' places in the queue, in the disc's order once it has started; and, joined
    // into one title, the chapter each starts.
    std::vector<int> TitleOrder() const;
    std::vector<int> FirstChapters() const;
    // Makes its menu, where it has one, then starts the disc tool; OnEnd says how it ended,
    // never from inside Start.
    void Start();
    // How far it is, from 0 to 1: the menu a tenth where there is one, then the tool's folder
    // and the image the same.
    double Share() const;
    // The tool is ended and the image's thread stopped; what they wrote goes.
    void Abandon();
    // Pauses the tool or lets it go on.
    void Suspend(bool suspend);

    std::function<void(const DiscResult&)> OnEnd;
    std::function<void()> OnProgress;  // about twice a second

private:
    // The disc's name and its working names; why it cannot be made, or empty.
    std::string Place();
    // On the menu's worker: its pages made in a folder of its own (in DiscMakerMenu.cpp).
    void MakeMenuPages();
    // The menu is made: the disc tool starts, or the disc ends with the menu's failure.
    void MenuMade();
    // Writes the disc tool's layout and starts it: why it could not, or empty.
    std::string Launch();
    void Authored();
    // On the image's worker: the image written from the disc's folder, or why it was not.
    void WriteImage();
    void ImageWritten();
    // Moves a file or folder to a free working name beside it: that name, or empty.
    std::string MoveAside(const std::string& path, std::string& why) const;
    // The new folder and image under the disc's name, each old one of the name moved aside
    // first (its working name given back, to go once all is in place); where an old one cannot
    // move, it stays and the new one takes a free name. The folder: false where it could not be
    // named at all (the old one put back, `result` the failure). The image: its failure kept.
    bool NameFolder(DiscResult& result, std::string& oldFolder);
    void NameImage(DiscResult& result, std::string& oldImage);
    void End(DiscResult result);
    void RemoveWork();
    std::string ToolFailure() const;

    DiscJob job_;
    std::vector<std::pair<int, DiscTitle>> titles_;  // by their place in the queue
    std::string finalName_, finalFolder_, finalImage_;
    std::string workDisc_, image_, log_, layout_;
    bool replace_ = false;
    std::int64_t streamBytes_ = 0;
    fw::unique_handle process_;
    TAdvancedTimer* timer_ = nullptr;
    std::atomic<std::int64_t> imageWritten_{0};
    std::atomic<bool> cancel_{false};
    std::string imageFailure_;  // the worker's, read once it has ended
    bool ended_ = false;
    // The menu, made on its worker: its folder, its pages' streams, its steps done, its failure,
    // and whether it is being made.
    struct Menu {
        std::string work;
        std::vector<std::string> pages;
        std::atomic<int> done{0};
        std::string failure;
        bool making = false;
    } menu_;
    fw::TWorker menuMaker_;
    fw::TWorker imageWriter_;  // last: joined before what it writes goes
};

}  // namespace disc
