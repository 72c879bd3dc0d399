// TJoiner: the encoder over the parts' list, then the joined file's name, then the parts gone.
#include "batch/Joiner.h"

#include <algorithm>

#include "encode/EncoderRun.h"
#include "encode/WorkFiles.h"
#include "framework/Application.h"
#include "framework/Files.h"
#include "framework/Launcher.h"
#include "framework/advantmr.h"
#include "framework/errors.h"
#include "queue/QueueLogic.h"

namespace batch {

TJoiner::~TJoiner()
{
    OnEnd = nullptr;
    Abandon();
}

std::vector<int> TJoiner::PartOrder() const
{
    std::vector<int> order;
    for (const auto& part : parts_) order.push_back(part.first);
    return order;
}

void TJoiner::Start(JoinJob job)
{
    job_ = std::move(job);
    timer_ = fw::Create<TAdvancedTimer>(nullptr);
    timer_->SetInterval(500);
    timer_->SetOnTimer([this](fw::TComponent*) {
        if (ended_) return;
        if (!process_) return End({false, failure_});  // the start failed
        if (OnProgress) OnProgress();
    });
    timer_->SetEnabled(true);
    failure_ = Launch();
}

std::string TJoiner::Launch()
{
    std::sort(parts_.begin(), parts_.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<encode::JoinPart> parts;
    for (const auto& [order, part] : parts_) {
        partBytes_ += fw::FileSize(part.path).value_or(0);
        parts.push_back({fw::ExtendedPath(part.path), part.seconds});
    }
    written_ = encode::TemporaryPathFor(job_.joined, [](const std::string& candidate) { return fw::PathExists(candidate); });
    if (written_.empty()) return encode::NoTemporaryName(job_.joined);
    if (job_.writing) job_.writing(written_, true);
    // Named for this copy: two copies may join at once.
    const std::string own = job_.workFolder + "mervane-join-" + std::to_string(GetCurrentProcessId());
    list_ = own + ".txt";
    log_ = own + ".log";
    if (!fw::WriteWholeFile(list_, encode::JoinList(parts))) return fw::SystemErrorText(GetLastError());
    fw::StartError error;
    const std::string arguments = encode::JoinArguments(job_.target, list_, fw::ExtendedPath(written_)).Line();
    process_ = fw::StartWithoutConsole(job_.encoder, arguments, {log_, true}, error, BELOW_NORMAL_PRIORITY_CLASS);
    if (!process_) return "the encoder could not start: " + fw::SystemErrorText(error.code);
    fw::Application->WatchHandle(process_.get(), [this] { Joined(); });
    return {};
}

double TJoiner::Share() const
{
    if (partBytes_ <= 0 || written_.empty()) return 0;
    return std::min(1.0, static_cast<double>(encode::MeasureOutput(written_).value_or(0)) / static_cast<double>(partBytes_));
}

void TJoiner::Joined()
{
    fw::Application->UnwatchHandle(process_.get());
    fw::WaitUntilReleased(log_);
    const std::int64_t size = encode::MeasureOutput(written_).value_or(0);
    const std::string failure = encode::EndedRunFailure(process_.get(), encode::LogTail(log_), written_, list_, job_.joined, size);
    process_.reset();
    if (!failure.empty()) return End({false, failure});
    fw::WaitUntilReleased(written_);
    const DWORD replace = job_.mayReplace ? MOVEFILE_REPLACE_EXISTING : 0;
    if (!MoveFileExW(fw::WidePath(written_).c_str(), fw::WidePath(job_.joined).c_str(), replace | MOVEFILE_WRITE_THROUGH))
        return End({false, "it could not be named " + queue::FileNamePart(job_.joined, fw::IsLeadByte) + ": " + fw::SystemErrorText(GetLastError())});
    if (job_.writing) job_.writing(written_, false);
    written_.clear();
    for (const auto& [order, part] : parts_) DeleteFileW(fw::WidePath(part.path).c_str());
    End({true, {}, job_.joined});
}

void TJoiner::End(JoinResult result)
{
    if (ended_) return;
    ended_ = true;
    if (timer_) timer_->SetEnabled(false);
    RemoveWork();
    if (OnEnd) OnEnd(result);
}

void TJoiner::RemoveWork()
{
    if (!written_.empty()) {
        fw::WaitUntilReleased(written_);
        DeleteFileW(fw::WidePath(written_).c_str());
        if (job_.writing) job_.writing(written_, false);
    }
    if (!log_.empty()) DeleteFileW(fw::WidePath(log_).c_str());
    if (!list_.empty()) DeleteFileW(fw::WidePath(list_).c_str());
}

void TJoiner::Abandon()
{
    if (process_) {
        fw::Application->UnwatchHandle(process_.get());
        TerminateProcess(process_.get(), 1);
        WaitForSingleObject(process_.get(), 5000);
        process_.reset();
    }
    if (!ended_) ended_ = true, RemoveWork();
    if (timer_) timer_->Release(), timer_ = nullptr;
}

}  // namespace batch
