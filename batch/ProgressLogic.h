// Rules of a batch's progress as the user reads it: the share of the media seconds done, the
// time left at the rate of all encoders together, the caption that says so, and the word at
// the end.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "framework/text.h"

namespace batch {

// What a batch has done so far, in seconds of media.
struct BatchFacts {
    int files = 0;            // in the batch
    int started = 0;          // of those, started or ended
    double mediaTotal = 0;    // the media seconds of all its files
    double mediaDone = 0;     // of those, done: every ended file whole, a running one by its share
    double mediaEncoded = 0;  // of those, what the encoders converted (a file that failed at once is left out)
    double runningSeconds = 0;  // wall time spent converting, pauses left out
    bool paused = false;
    // The files are converted and this is being made of them: "Making the DVD-Video disc",
    // "Joining the files"; empty before.
    std::string making{};
};

// How far a batch is: in media seconds, the files not yet ended, whether one failed.
struct BatchProgress {
    BatchFacts facts;
    bool failed = false;
    int filesLeft = 0;
};

// How a batch ended.
struct BatchSummary {
    int converted = 0;
    int failed = 0;
    std::int64_t bytes = 0;  // what the converted files take together
    bool stopped = false;    // by the user, before every file had its turn
    bool abandoned = false;  // by the program's end: nobody is there to be told
    std::string made{};      // what became of the disc or the joined file made of the files, if one was to be
    bool madeAmiss = false;  // it was made, but not whole or not as asked, or it failed
};

// A file's end as a batch counts it.
enum class Outcome { Converted, Failed, Stopped, Skipped };

// What a batch has done so far, counted as its files start and end and as it pauses: the
// facts of its progress and the summary of its end. Times are the system's milliseconds.
class TBatchTally {
public:
    // A batch of files of these media seconds begins; making a disc of them, where one is
    // made, counts as `discSeconds` more.
    void Begin(const std::vector<double>& seconds, std::uint32_t now, double discSeconds = 0);
    // The files are converted; the disc is being made of them, or the joined file ("Making the
    // DVD-Video disc"). What became of it, for the summary.
    void Making(std::string what) { facts_.making = std::move(what); }
    void MadeEnded(std::string text, bool amiss = false) { summary_.made = std::move(text), summary_.madeAmiss = amiss; }
    void Started() { ++facts_.started; }
    int StartedFiles() const { return facts_.started; }
    // A file of these media seconds ended; a converted one took `bytes`. A stopped file goes
    // back to "Pending" and counts as never started.
    void Ended(Outcome outcome, double mediaSeconds, std::int64_t bytes);
    void Pause(std::uint32_t now);
    void Resume(std::uint32_t now);
    // The progress, each running file adding its media seconds times its share done (0 to 1).
    BatchProgress Progress(const std::vector<std::pair<double, double>>& running, std::uint32_t now) const;
    // What the converted files took together so far.
    std::int64_t Bytes() const { return summary_.bytes; }
    // The summary of the end: stopped by the user, or abandoned by the program's end.
    BatchSummary End(bool stopped, bool abandoned) const;

private:
    BatchFacts facts_;       // the ended files' share; the running ones are added when asked
    BatchSummary summary_;
    int ended_ = 0;           // files converted or failed
    std::uint32_t runningSince_ = 0;  // when the batch last began or went on after a pause
    std::uint32_t runningMs_ = 0;     // converting before that
};

// The share done, from 0 to 1; a long file weighs more than a short one.
double BatchFraction(const BatchFacts& facts);

// Before this many seconds of converting, or before anything is converted, there is too
// little to estimate from.
inline constexpr double kEstimateAfterSeconds = 5;
// The seconds left at the media seconds converted per wall second so far, over all encoders
// together; none while there is too little to go by, or while paused.
std::optional<double> SecondsLeft(const BatchFacts& facts);

// The caption above the list while a batch runs: "Converting 3 of 10 · 42 % · about 4 min
// left", "Converting 1 of 10 · 0 % · estimating…", "Paused · 3 of 10 · 42 %", "Making the
// DVD-Video disc · 97 % · less than a minute left".
std::string BatchCaption(const BatchFacts& facts, const fw::TextMarks& marks);
// Whether screen readers are told the caption again: a file begun, a step of ten per cent,
// a pause or a resume since it was last told; not each per cent or minute.
bool WorthAnnouncing(const BatchFacts& told, const BatchFacts& now);

// How a batch ended, for the notice: "10 files converted, 1 failed", "3 files converted
// before the stop".
std::string BatchEndText(int converted, int failed, bool stopped);
// All that is said of a batch's end: BatchEndText, what the converted files take, and the
// disc: "2 files converted (3.2 MB). The DVD-Video disc "Holiday" was made." Empty for a
// batch the program's end abandoned: nobody is there to be told.
std::string BatchEndSaid(const BatchSummary& summary);

// What log-off and shutdown show while a batch runs: "Converting 3 files", "Making the DVD-Video disc".
std::string SessionWaitReason(int filesLeft, const std::string& making = {});

// A batch's progress as the window shows it.
struct ProgressShown {
    std::string caption{};     // above the list: BatchCaption
    bool retell = false;       // screen readers are told the caption again: WorthAnnouncing
    double fraction = 0;       // done, from 0 to 1
    bool paused = false;
    bool failed = false;       // a file of the batch failed
    std::string waitReason{};  // SessionWaitReason
};
// The progress as shown; `told`, what screen readers were last told, follows the caption
// whenever it is told again.
ProgressShown ShownProgress(const BatchProgress& progress, std::optional<BatchFacts>& told, const fw::TextMarks& marks);

}  // namespace batch
