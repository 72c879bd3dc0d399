// TDiscMaker: the disc tool, then the image, then the names.
#include "disc/DiscMaker.h"

#include <algorithm>

#include "encode/WorkFiles.h"
#include "disc/DiscImage.h"
#include "disc/MenuMaker.h"
#include "encode/FitLogic.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Launcher.h"
#include "framework/advantmr.h"
#include "framework/errors.h"

namespace disc {

namespace {

// Renames a file or folder; empty, or why it could not.
std::string Rename(const std::string& from, const std::string& to, DWORD flags = 0)
{
    return MoveFileExW(fw::WidePath(from).c_str(), fw::WidePath(to).c_str(), flags) ? std::string()
                                                                                     : fw::SystemErrorText(GetLastError());
}

DiscTime Now()
{
    SYSTEMTIME t{};
    GetSystemTime(&t);
    return {static_cast<int>(t.wYear), static_cast<int>(t.wMonth), static_cast<int>(t.wDay),
            static_cast<int>(t.wHour), static_cast<int>(t.wMinute), static_cast<int>(t.wSecond)};
}

// Writes the image: its descriptive sectors, each file after them at its sector, the last
// sector. Empty, or why it could not.
std::string WriteImageFile(const std::string& path, const std::string& videoTs, const DiscImagePlan& plan,
                           std::atomic<std::int64_t>& written, const std::atomic<bool>& cancel)
{
    fw::unique_handle out(CreateFileW(fw::WidePath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!out) return fw::SystemErrorText(GetLastError());
    auto put = [&](const void* data, std::size_t size) {
        DWORD done = 0;
        if (!WriteFile(out.get(), data, static_cast<DWORD>(size), &done, nullptr) || done != size)
            throw fw::EFCreateError(fw::SystemErrorText(GetLastError() ? GetLastError() : ERROR_WRITE_FAULT));
        written += static_cast<std::int64_t>(size);
    };
    try {
        put(plan.head.data(), plan.head.size());
        std::vector<char> buffer(4 * 1024 * 1024);
        for (const DiscFile& file : plan.files) {
            fw::unique_handle in(CreateFileW(fw::WidePath(videoTs + "\\" + file.name).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                             nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
            if (!in) return file.name + ": " + fw::SystemErrorText(GetLastError());
            for (std::int64_t left = file.size; left > 0;) {
                if (cancel) return "stopped";
                DWORD read = 0;
                const DWORD want = static_cast<DWORD>(std::min<std::int64_t>(left, static_cast<std::int64_t>(buffer.size())));
                if (!ReadFile(in.get(), buffer.data(), want, &read, nullptr) || read == 0)
                    return file.name + ": " + fw::SystemErrorText(GetLastError() ? GetLastError() : ERROR_HANDLE_EOF);
                put(buffer.data(), read);
                left -= read;
            }
            const std::size_t fill = static_cast<std::size_t>((kSector - file.size % kSector) % kSector);
            const std::vector<char> zeros(fill);
            if (fill) put(zeros.data(), fill);
        }
        put(plan.tail.data(), plan.tail.size());
    } catch (const fw::EFCreateError& error) {
        return error.what();
    }
    FlushFileBuffers(out.get());
    return {};
}

}  // namespace

TDiscMaker::TDiscMaker(DiscJob job) : job_(std::move(job)) {}

TDiscMaker::~TDiscMaker()
{
    OnEnd = nullptr;
    Abandon();
}

void TDiscMaker::AddTitle(int order, DiscTitle title)
{
    titles_.emplace_back(order, std::move(title));
}

void TDiscMaker::Start()
{
    timer_ = fw::Create<TAdvancedTimer>(nullptr);
    timer_->SetInterval(500);
    timer_->SetOnTimer([this](fw::TComponent*) {
        if (ended_) return;
        if (!menu_.making && !process_ && !imageWriter_.Started()) return End({false, {}, {}, ToolFailure()});  // the start failed
        if (OnProgress) OnProgress();
    });
    timer_->SetEnabled(true);
    imageFailure_ = Place();  // a failure is said at the first tick
    std::sort(titles_.begin(), titles_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    menu_.making = imageFailure_.empty() && HasMenu(job_.menu, Titles());
    if (menu_.making) return menuMaker_.Start([this] { MakeMenuPages(); }, [this] { MenuMade(); });
    if (imageFailure_.empty()) imageFailure_ = Launch();
}

std::string TDiscMaker::Place()
{
    const DiscPlace place = PlaceDisc(job_.folder, job_.name, job_.ifExists);
    finalName_ = place.name;
    replace_ = place.replace;
    finalFolder_ = job_.folder + "\\" + place.name;
    finalImage_ = finalFolder_ + ".iso";
    if (place.skipped) return "\"" + place.name + "\" is there already, and an existing file is skipped.";
    auto taken = [&](const std::string& candidate) { return fw::PathExists(candidate) || candidate == workDisc_; };
    workDisc_ = encode::TemporaryPathFor(finalFolder_ + ".dvd", taken);
    image_ = encode::TemporaryPathFor(finalImage_, taken);
    if (workDisc_.empty() || image_.empty()) return encode::NoTemporaryName(finalImage_);
    if (job_.writing) job_.writing(workDisc_, true), job_.writing(image_, true);
    return {};
}

std::string TDiscMaker::Launch()
{
    std::vector<DiscTitle> titles;
    // The disc tool opens no long path: it is given the streams' and the folder's short forms.
    for (auto& [order, title] : titles_) {
        title.bytes = fw::FileSize(title.stream).value_or(0);
        titles.push_back(title), streamBytes_ += title.bytes;
        titles.back().stream = fw::PathForOldProgram(title.stream);
    }
    // Named for this copy: two copies may make discs at once.
    const std::string own = job_.workFolder + "mervane-disc-" + std::to_string(GetCurrentProcessId());
    layout_ = own + ".xml";
    log_ = own + ".log";
    std::vector<std::string> pages;
    for (const std::string& page : menu_.pages) pages.push_back(fw::PathForOldProgram(page));
    const std::string xml =
        AuthoringXml(titles, job_.pal, fw::PathForOldProgram(job_.folder) + workDisc_.substr(job_.folder.size()), job_.oneTitle, pages);
    if (!fw::WriteWholeFile(layout_, xml)) return fw::SystemErrorText(GetLastError());
    fw::StartError error;
    process_ = fw::StartWithoutConsole(job_.tool, "-x \"" + layout_ + "\"", {log_, true}, error, BELOW_NORMAL_PRIORITY_CLASS);
    if (!process_) return "the disc tool could not start: " + fw::SystemErrorText(error.code);
    fw::Application->WatchHandle(process_.get(), [this] { Authored(); });
    return {};
}

std::string TDiscMaker::ToolFailure() const
{
    if (!imageFailure_.empty()) return imageFailure_;
    const std::string said = AuthoringError(fw::ReadWholeFile(log_, 1 << 20).value_or(""));
    return "the disc tool failed" + (said.empty() ? std::string(".") : ": " + said);
}

double TDiscMaker::Share() const
{
    const double menu = menuMaker_.Started() ? 0.1 : 0;
    if (menu_.making) return menu * menu_.done / MenuSteps(Titles());
    if (streamBytes_ <= 0) return menu;
    const double total = 2.0 * static_cast<double>(streamBytes_);
    const double disc = !imageWriter_.Started() ? std::min(0.5, static_cast<double>(BytesIn(workDisc_ + "\\VIDEO_TS")) / total)
                                                : std::min(1.0, 0.5 + static_cast<double>(imageWritten_) / total);
    return menu + (1 - menu) * disc;
}

void TDiscMaker::Authored()
{
    fw::Application->UnwatchHandle(process_.get());
    DWORD code = 1;
    GetExitCodeProcess(process_.get(), &code);
    process_.reset();
    if (code != 0 || !fw::PathExists(workDisc_ + "\\VIDEO_TS\\VIDEO_TS.IFO")) return End({false, {}, {}, ToolFailure()});
    imageWriter_.Start([this] { WriteImage(); }, [this] { ImageWritten(); });
}

void TDiscMaker::WriteImage()
{
    const std::string videoTs = workDisc_ + "\\VIDEO_TS";
    const DiscImagePlan plan = PlanDiscImage(finalName_, FilesIn(videoTs), Now());
    const std::string root = fw::VolumeRoot(job_.folder);
    if (fw::IsFatVolume(root) && plan.Bytes() > encode::kFatMostFile)
        imageFailure_ = "it would take " + encode::SizeText(plan.Bytes()) + ", and " + fw::VolumeName(root) +
                        " is FAT32, which holds no file of 4 GB or more";
    else
        imageFailure_ = WriteImageFile(image_, videoTs, plan, imageWritten_, cancel_);
}

std::string TDiscMaker::MoveAside(const std::string& path, std::string& why) const
{
    auto taken = [&](const std::string& candidate) { return fw::PathExists(candidate) || candidate == workDisc_ || candidate == image_; };
    const std::string aside = encode::TemporaryPathFor(path + ".old", taken);
    why = aside.empty() ? encode::NoTemporaryName(path) : Rename(path, aside);
    return why.empty() ? aside : std::string();
}

void TDiscMaker::ImageWritten()
{
    // The new disc goes in before the old one goes: the old one is moved aside, the new one
    // takes its name, and only then is the old one removed. Nothing of either is lost.
    DiscResult result{true, finalName_, finalFolder_, {}};
    std::string oldFolder, oldImage;
    if (!NameFolder(result, oldFolder)) return End(result);
    if (imageFailure_.empty()) NameImage(result, oldImage);
    if (!imageFailure_.empty()) result.note = "its image was not made: " + imageFailure_ + (result.note.empty() ? "" : "; " + result.note);
    if (!oldFolder.empty()) RemoveDiscFolder(oldFolder);
    if (!oldImage.empty()) DeleteFileW(fw::WidePath(oldImage).c_str());
    for (const auto& [order, title] : titles_) DeleteFileW(fw::WidePath(title.stream).c_str());
    End(result);
}

bool TDiscMaker::NameFolder(DiscResult& result, std::string& oldFolder)
{
    std::string why;
    if (replace_ && (oldFolder = MoveAside(finalFolder_, why)).empty()) {  // the old one stays; the new one goes beside it
        result.name = FreeDiscName(job_.folder, finalName_);
        result.folder = job_.folder + "\\" + result.name;
        result.note = "the disc \"" + finalName_ + "\" there could not be replaced (" + why + ") and was kept";
    }
    if (why = Rename(workDisc_, result.folder); why.empty()) return true;
    if (!oldFolder.empty()) Rename(oldFolder, finalFolder_);
    result = {false, {}, {}, "its folder could not be named " + result.name + ": " + why};
    return false;
}

void TDiscMaker::NameImage(DiscResult& result, std::string& oldImage)
{
    std::string why;
    result.image = result.folder + ".iso";
    if (replace_ && result.name == finalName_ && fw::PathExists(finalImage_) && (oldImage = MoveAside(finalImage_, why)).empty()) {
        // Mounted or open: it stays, and the new one goes beside it.
        result.image = job_.folder + "\\" + FreeDiscName(job_.folder, finalName_) + ".iso";
        result.note = finalName_ + ".iso could not be replaced (" + why + ") and was kept";
    }
    if (why = Rename(image_, result.image, MOVEFILE_WRITE_THROUGH); why.empty()) return;
    if (!oldImage.empty()) Rename(oldImage, finalImage_), oldImage.clear();
    result.image.clear(), imageFailure_ = "it could not be named " + finalName_ + ".iso: " + why;
}

void TDiscMaker::End(DiscResult result)
{
    if (ended_) return;
    ended_ = true;
    if (timer_) timer_->SetEnabled(false);
    RemoveWork();
    if (OnEnd) OnEnd(result);
}

void TDiscMaker::RemoveWork()
{
    if (!workDisc_.empty()) RemoveDiscFolder(workDisc_);
    if (!image_.empty()) DeleteFileW(fw::WidePath(image_).c_str());
    if (job_.writing && !workDisc_.empty()) job_.writing(workDisc_, false), job_.writing(image_, false);
    if (!log_.empty()) DeleteFileW(fw::WidePath(log_).c_str());
    if (!layout_.empty()) DeleteFileW(fw::WidePath(layout_).c_str());
    if (!menu_.work.empty()) {
        for (const DiscFile& file : FilesIn(menu_.work)) DeleteFileW(fw::WidePath(menu_.work + file.name).c_str());
        RemoveDirectoryW(fw::WidePath(menu_.work).c_str());
    }
}

void TDiscMaker::Suspend(bool suspend)
{
    if (process_) fw::SuspendProcess(process_.get(), suspend);
}

void TDiscMaker::Abandon()
{
    if (process_) {
        fw::Application->UnwatchHandle(process_.get());
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
        process_.reset();
    }
    cancel_ = true;
    menuMaker_.Join();
    imageWriter_.Join();
    if (!ended_) {
        ended_ = true;
        fw::WaitUntilReleased(image_);
        RemoveWork();
    }
    if (timer_) timer_->Release(), timer_ = nullptr;
}

}  // namespace disc
