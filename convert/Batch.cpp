// TBatch: several encoders at once, each writing a temporary file that becomes the output
// only when its file is done.
#include "convert/Batch.h"

#include <algorithm>
#include <optional>

#include "framework/LaunchLogic.h"
#include "framework/Launcher.h"
#include "framework/advantmr.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Unicode.h"
#include "framework/errors.h"
#include "queue/Queue.h"

namespace convert {

namespace {

// The size of the file the encoder writes, opened with full sharing; none while it cannot
// be measured (not created yet, a folder, or not openable).
std::optional<std::int64_t> MeasureOutput(const std::string& path)
{
    if (!fw::FileExists(path)) return std::nullopt;
    fw::unique_handle file(CreateFileW(fw::WidePath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return std::nullopt;
    LARGE_INTEGER end{};
    if (!SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) return std::nullopt;
    return end.QuadPart;
}

// The last lines of the encoder's log: its closing summary and its errors are at the end.
std::vector<std::string> LogTail(const std::string& path)
{
    constexpr LONG kTailBytes = 64 * 1024;
    fw::unique_handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    LARGE_INTEGER size{};
    GetFileSizeEx(file.get(), &size);
    if (size.QuadPart > kTailBytes) SetFilePointer(file.get(), -kTailBytes, nullptr, FILE_END);
    std::string text(static_cast<std::size_t>(std::min<LONGLONG>(size.QuadPart, kTailBytes)), '\0');
    DWORD got = 0;
    ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &got, nullptr);
    text.resize(got);
    return fw::SplitLines(fw::FromUtf8(text));  // the encoder writes UTF-8
}

bool SameFile(std::string_view a, std::string_view b)
{
    return fw::SameNameIgnoringCase(fw::ComparablePath(std::string(a)), fw::ComparablePath(std::string(b)));
}

}  // namespace

TBatch::TBatch(TQueue& queue, fw::TComponent* owner, HWND window, fw::TNotifyEvent onTick)
    : queue_(queue), owner_(owner), window_(window), onTick_(std::move(onTick))
{
}

TBatch::~TBatch()
{
    Abandon();
}

std::string TBatch::LogPath(const std::string& folder, int slot)
{
    return folder + (slot == 0 ? std::string("ffmpeg_log.txt") : "ffmpeg_log_" + std::to_string(slot + 1) + ".txt");
}

void TBatch::RemoveLogs(const std::string& folder)
{
    for (int slot = 0; slot < kMostEncoders; ++slot) DeleteFileA(LogPath(folder, slot).c_str());
}

void TBatch::Start(const BatchSetup& setup)
{
    if (Running()) return;
    setup_ = setup;
    setup_.encoders = std::clamp(setup.encoders, 1, kMostEncoders);
    if (!writing_ && !setup_.listFolder.empty()) writing_ = std::make_unique<TWritingList>(setup_.listFolder);
    FillSlots();
}

void TBatch::FillSlots()
{
    try {
        for (int row = queue_.NextPending(); row >= 0 && !stopping_ && static_cast<int>(running_.size()) < setup_.encoders;
             row = queue_.NextPending(row + 1)) {
            if (!active_) Begin();
            StartRow(row);
        }
    } catch (...) {
        if (!Running()) End();
        throw;
    }
    if (Running() || !active_) return;
    End();
    if (GetForegroundWindow() != window_) {
        FLASHWINFO flash{sizeof flash, window_, FLASHW_TRAY | FLASHW_TIMERNOFG, 0, 0};
        FlashWindowEx(&flash);
    }
}

int TBatch::FreeSlot() const
{
    for (int slot = 0;; ++slot)
        if (std::none_of(running_.begin(), running_.end(), [&](const auto& c) { return c->slot == slot; })) return slot;
}

void TBatch::StartRow(int row)
{
    auto c = std::make_unique<TConversion>();
    c->id = queue_.IdAt(row);
    c->input = queue_.Path(row);
    c->expectedSize = ExpectedSizeFor(queue_.Duration(row), setup_.rateKBps);  // raises before the row changes
    c->output = FreeOutputPath(OutputPathFor(c->input, setup_.outputFolder, fw::IsLeadByte), c->input, written_,
                               &SameFile);
    c->written = TemporaryPathFor(c->output, [&](const std::string& candidate) {
        return fw::FileExists(candidate) || std::any_of(running_.begin(), running_.end(), [&](const auto& other) {
                   return SameFile(other->written, candidate);
               });
    });
    c->slot = FreeSlot();
    c->log = LogPath(setup_.logFolder, c->slot);

    std::string failure;
    if (!fw::FileExists(c->input)) {
        failure = kInputGone;
    } else if (!setup_.encoderMissing.empty()) {
        failure = setup_.encoderMissing;
    } else {
        // Below normal priority: the desktop stays responsive while the encoders run.
        fw::StartError error;
        // Paths past MAX_PATH go in the long form Windows documents for them.
        c->process = fw::StartWithoutConsole(setup_.encoderPath, FfmpegArgsFor(fw::ExtendedPath(c->input), fw::ExtendedPath(c->written)),
                                         {c->log, true}, error, BELOW_NORMAL_PRIORITY_CLASS);
        const std::string text = fw::SystemErrorText(error.code);
        if (!c->process)
            failure = error.outputFile ? LogFailure(c->log, text) : fw::StartFailure("The encoder", error.code, text, setup_.encoderPath);
    }
    if (!failure.empty()) {
        queue_.Fail(row, failure);
        FileEnded(true);
        return;
    }
    written_.push_back({c->output, c->input, true});
    if (writing_) writing_->Add(c->written);
    queue_.Start(row);

    c->timer = fw::Create<TAdvancedTimer>(owner_);
    c->timer->SetBuddy(c->written);
    c->timer->SetInterval(500);
    c->timer->SetEnabled(true);
    c->timer->SetOnTimer(onTick_);
    // The encoder's end is measured at once instead of waiting for the next tick.
    HWND timerWindow = c->timer->WindowHandle();
    fw::Application->WatchHandle(c->process.get(), [timerWindow] { PostMessageA(timerWindow, WM_TIMER, 1, 0); });
    running_.push_back(std::move(c));
}

void TBatch::Tick(TAdvancedTimer* timer)
{
    auto it = std::find_if(running_.begin(), running_.end(), [&](const auto& c) { return c->timer == timer; });
    if (it == running_.end()) return;
    TConversion& c = **it;
    if (c.saver) {
        if (c.saver->Ended()) Finish(c);
        return;
    }
    // The end first: a size measured after it is final.
    const bool ended = WaitForSingleObject(c.process.get(), 0) == WAIT_OBJECT_0;
    const std::optional<std::int64_t> size = MeasureOutput(c.written);
    if (!ended) {
        // Growing or paused: the file is not finished while its encoder still runs.
        if (size) {
            fw::Guarded([&] { queue_.ShowProgress(queue_.IndexOf(c.id), *size, c.expectedSize); });
            c.lastSize = *size;
            ShowProgress();
        }
        fw::Application->ProcessMessages();
        return;
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(c.process.get(), &exitCode);
    // The encoder names the temporary file; the user knows the output's name.
    const std::string named = fw::ExtendedPath(c.written);
    std::vector<std::string> lines = LogTail(c.log);
    for (std::string& line : lines)
        for (std::size_t at = line.find(named); at != std::string::npos; at = line.find(named, at + c.output.size()))
            line.replace(at, named.size(), c.output);
    c.failure = EncoderFailure(exitCode, lines, size.value_or(0));
    // An encoder that cannot open a path in its long form is told apart by the length.
    const std::string& longest = c.output.size() > c.input.size() ? c.output : c.input;
    const std::size_t characters = fw::Wide(longest).size();
    if (!c.failure.empty() && characters >= MAX_PATH)
        c.failure = PathTooLong(longest, characters, MAX_PATH - 1) + " " + c.failure;
    Ended(c);
}

void TBatch::Ended(TConversion& c)
{
    fw::Application->UnwatchHandle(c.process.get());
    SaveJob job;
    job.written = c.written;
    job.output = c.output;
    job.input = c.input;
    job.keep = c.failure.empty() && !c.stopped;
    for (const ClaimedOutput& claim : written_) job.claimed.push_back(claim.output);
    c.saver = std::make_unique<TSaver>(std::move(job));
    HWND timerWindow = c.timer->WindowHandle();
    if (HANDLE thread = c.saver->Thread())
        fw::Application->WatchHandle(thread, [timerWindow] { PostMessageA(timerWindow, WM_TIMER, 1, 0); });
    else
        PostMessageA(timerWindow, WM_TIMER, 1, 0);
}

void TBatch::Finish(TConversion& c)
{
    fw::Application->UnwatchHandle(c.saver->Thread());
    const SaveJob& saved = c.saver->Result();
    std::string reason = c.failure;
    if (reason.empty() && saved.savedAs.empty()) reason = saved.note;
    const int row = queue_.IndexOf(c.id);
    if (c.stopped)
        queue_.Stopped(row);
    else if (reason.empty())
        queue_.Finish(row, saved.savedAs, saved.note);
    else
        queue_.Fail(row, reason);
    for (ClaimedOutput& claim : written_)
        if (claim.output == c.output) claim.writing = false;
    if (writing_) writing_->Remove(c.written);
    if (!saved.savedAs.empty() && saved.savedAs != c.output) written_.push_back({saved.savedAs, c.input, false});
    TAdvancedTimer* timer = c.timer;
    running_.erase(std::find_if(running_.begin(), running_.end(), [&](const auto& p) { return p.get() == &c; }));
    FileEnded(!reason.empty());
    // The timer goes once the next rows have started: this is one of its ticks.
    fw::scope_exit release([timer] { timer->Release(); });
    FillSlots();
}

void TBatch::Abandon()
{
    for (const auto& c : running_) {
        fw::Application->UnwatchHandle(c->process.get());
        if (c->saver) fw::Application->UnwatchHandle(c->saver->Thread());
        TerminateProcess(c->process.get(), 1);
    }
    for (const auto& c : running_) {
        c->saver.reset();  // a finished file being saved is saved
        WaitForSingleObject(c->process.get(), 5000);
        fw::WaitUntilReleased(c->written);
        DeleteFileW(fw::WidePath(c->written).c_str());
        if (writing_) writing_->Remove(c->written);
        c->timer->Release();
    }
    running_.clear();
    End();
}

void TBatch::StopAfterRunning()
{
    if (Running()) stopping_ = true;
}

void TBatch::StopNow()
{
    StopAfterRunning();
    // What the encoders wrote goes off the window's thread, as a failed file's does; a
    // file already being saved is finished and kept.
    for (const auto& c : running_) {
        if (c->saver) continue;
        TerminateProcess(c->process.get(), 1);
        c->stopped = true;
        Ended(*c);
    }
}

void TBatch::Begin()
{
    active_ = true;
    queue_.Lock(true);
    total_ = 0;
    for (int row = 0; row < queue_.Count(); ++row) total_ += queue_.State(row) == queue::RowState::Pending;
    ended_ = 0;
    failed_ = false;
    SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED);  // no sleep; the display may turn off
    ShowProgress();
    SayWhyTheSessionShouldWait();
}

void TBatch::End()
{
    if (!active_) return;
    active_ = false;
    stopping_ = false;
    queue_.Lock(false);
    SetThreadExecutionState(ES_CONTINUOUS);
    ShutdownBlockReasonDestroy(window_);
    Taskbar->Clear(window_);
    if (OnEnd) OnEnd();
}

void TBatch::ShowProgress()
{
    std::uint64_t done = static_cast<std::uint64_t>(ended_) * kProgressPerFile;
    for (const auto& c : running_) done += FileProgress(c->lastSize, c->expectedSize);
    Taskbar->Show(window_, done, static_cast<std::uint64_t>(total_) * kProgressPerFile, failed_);
}

void TBatch::FileEnded(bool failed)
{
    ++ended_;
    failed_ = failed_ || failed;
    ShowProgress();
    if (active_) SayWhyTheSessionShouldWait();
}

void TBatch::SayWhyTheSessionShouldWait()
{
    ShutdownBlockReasonCreate(window_, fw::Wide(SessionWaitReason(total_ - ended_)).c_str());
}

}  // namespace convert
