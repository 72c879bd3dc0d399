// TConversion: one file on its way through the encoder, private to the batch. It runs the
// encoder step by step (describing, each pass, retries) and has its file saved or removed; it
// tells its batch each measure of its file and its end.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "batch/BatchSetup.h"
#include "encode/EncoderArgs.h"
#include "batch/ProgressLogic.h"
#include "batch/Save.h"
#include "encode/Steps.h"
#include "encode/Subtitles.h"
#include "encode/TargetLogic.h"
#include "framework/handles.h"

class TAdvancedTimer;

namespace batch {

// What the batch prepared for a row before its conversion: where its file goes.
struct ConversionStart {
    RunningFile file;
    std::string placeNote{};
    bool mayReplace = true;
    std::optional<int> fittedRate{};
};

// How a conversion ended, for its row.
struct ConversionEnd {
    Outcome outcome = Outcome::Failed;  // converted, failed or stopped
    std::string savedAs{};              // the output saved, if any
    std::string text{};                 // why it failed, or the notes of its converted file
    std::int64_t bytes = 0;             // what the encoder wrote
    std::optional<encode::InputFacts> facts{};  // what the description said of the input
    double pictureSeconds = 0;          // the length of the picture it wrote
};

class TConversion {
public:
    // What it tells its batch: a new measure of its file, or its end, the file saved or removed.
    enum class News { Measured, Ended };
    using Tell = std::function<void(TConversion&, News)>;
    TConversion(const BatchSetup& setup, const ConversionStart& start, std::shared_ptr<TOutputClaims> claims, Tell tell);
    // Its encoder and its save are no longer watched; its timer goes.
    ~TConversion();
    TConversion(const TConversion&) = delete;
    TConversion& operator=(const TConversion&) = delete;

    // Starts the encoder for its first step and watches it: why it could not, or empty.
    std::string Start(bool paused);
    // The user's stop now: the encoder ends and what it wrote is removed off the window's thread.
    void StopNow();
    // The batch's pause: the encoder waits where it is; a file being saved goes on.
    void Pause(bool paused);
    // The program's end: the encoder is ended and what it wrote removed here; a file being saved is saved.
    void Abandon();

    const RunningFile& File() const { return start_.file; }
    // The video rate of a file of a fitted batch, which it encodes in two passes.
    const std::optional<int>& FittedRate() const { return start_.fittedRate; }
    // How much of its output it has written, as the progress counts it: each of a fitted
    // file's passes counts for half.
    std::int64_t DoneBytes() const;
    // How it ended, once its file is saved or removed.
    ConversionEnd End() const;
    // Its timer, which goes once the next rows have started: the end may come in one of its ticks.
    TAdvancedTimer* TakeTimer() { return std::exchange(timer_, nullptr); }

private:
    // What its step's run of the encoder makes of its file, as far as it is known.
    encode::EncodeRequest Request() const;
    // What its output will take, at the rates its arguments ask for.
    std::int64_t Expected() const;
    // What a click on its "Done" says: where it went, the subtitles, the colours, the
    // scaling, the save.
    std::string Notes(const std::string& savedNote) const;
    // Starts the encoder for its step: why it could not, or empty.
    std::string Launch();
    // The next run of the encoder, in `step`, once the last has ended; saved as failed where
    // it cannot start.
    void Relaunch(encode::Step step);
    // Its timer: the written file measured, an end not yet seen taken up.
    void OnTick();
    // Its encoder has ended: the step that follows, or the save.
    void OnRunEnded();
    // A run begun without the input's description: once its log describes the input, the
    // run starts again where that calls for other arguments; true when it did.
    bool LookAtDescription(const std::vector<std::string>& logLines);
    // The encoder ended as if whole: an input that stopped short fails it or is noted.
    void LookAtReadThrough(const std::vector<std::string>& logLines);
    // The encoder has ended for good: what it wrote is saved or removed off the window's thread.
    void Save();

    const BatchSetup& setup_;
    std::shared_ptr<TOutputClaims> claims_;
    Tell tell_;
    ConversionStart start_;  // its file, where it goes, and its rate in a fitted batch
    encode::Step step_ = encode::Step::Encoding;  // where the file is: one step at a time
    bool paused_ = false;
    bool stopped_ = false;  // ended by "stop now": its row goes back to "Pending"
    std::string log_;
    std::int64_t lastSize_ = 0;
    std::string shortNote_;  // the input ended before its duration
    long frames_ = 0;        // the pictures its last run wrote
    std::optional<encode::InputFacts> facts_;                   // what the description said
    std::optional<encode::PictureSize> scaledFrom_, scaledTo_;  // a picture larger than MPEG-1 holds
    std::optional<encode::SubtitleSource> sidecar_;  // the subtitles of a file beside the input, copied
    bool ownTrack_ = false;                  // the input's own marked track may be drawn
    std::string subtitlesNote_;              // why subtitles found were not drawn
    encode::EvenedSound sound_;              // its gain and note, once measured
    fw::unique_handle process_;
    TAdvancedTimer* timer_ = nullptr;  // measures the written file twice a second
    std::string failure_;              // why the run failed; empty for a finished file
    std::unique_ptr<TSaver> saver_;
};

}  // namespace batch
