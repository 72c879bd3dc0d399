// TConversion: one file on its way through the encoder, private to the batch. It runs the
// encoder step by step (describing, each pass, retries) and has its file saved or removed; it
// tells its batch each measure of its file and its end.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "convert/Batch.h"
#include "convert/EncoderArgs.h"
#include "convert/Save.h"
#include "convert/Steps.h"
#include "convert/Subtitles.h"
#include "convert/TargetLogic.h"
#include "framework/handles.h"

class TAdvancedTimer;

namespace convert {

struct TConversion {
    // What it tells its batch: a new measure of its file, or its end, the file saved or removed.
    enum class News { Measured, Ended };
    using Tell = std::function<void(TConversion&, News)>;
    TConversion(const BatchSetup& setup, std::shared_ptr<TOutputClaims> claims, Tell tell);
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

    Step step = Step::Encoding;  // where the file is: one step at a time
    int id = 0;            // the queue's row id: rows are found by it, never by their index
    bool stopped = false;  // ended by "stop now": its row goes back to "Pending"
    int slot = 0;          // which of the encoders that run at once: names its log
    std::string input;
    std::string output;
    std::string placeNote;  // why the output is not beside its input, as asked
    std::string written;  // the temporary file the encoder writes
    std::string log;
    std::int64_t expectedSize = 0;
    std::int64_t lastSize = 0;
    double mediaSeconds = 0;  // the input's duration
    std::optional<int> fittedRate;  // the video rate of a file of a fitted batch: two passes
    bool skipped = false;     // its converted file exists from an earlier run and is kept
    bool mayReplace = true;   // whether a file at its output's name is replaced when it is saved
    std::string shortNote;    // the input ended before its duration
    std::optional<InputFacts> facts;                    // what the description said
    std::optional<PictureSize> scaledFrom, scaledTo;  // a picture larger than MPEG-1 holds
    std::optional<SubtitleSource> sidecar;  // the subtitles of a file beside the input, copied
    bool ownTrack = false;                  // the input's own marked track may be drawn
    std::string subtitlesNote;              // why subtitles found were not drawn
    fw::unique_handle process;
    TAdvancedTimer* timer = nullptr;  // measures the written file twice a second
    std::string failure;              // why the run failed; empty for a finished file
    std::unique_ptr<TSaver> saver;

    // What its step's run of the encoder makes of its file, as far as it is known.
    EncodeRequest Request(const BatchSetup& setup) const;
    // What its output will take, at the rates its arguments ask for.
    std::int64_t ExpectedSize(const BatchSetup& setup) const;
    // How much of its output it has written, as the progress counts it: each of a fitted
    // file's passes counts for half.
    std::int64_t DoneBytes() const;
    // What a click on its "Done" says: where it went, the subtitles, the colours, the
    // scaling, the save.
    std::string Notes(const BatchSetup& setup, const std::string& savedNote) const;

private:
    // Starts the encoder for its step: why it could not, or empty.
    std::string Launch();
    // The next run of the encoder, once the last has ended.
    std::string Relaunch();
    // Its timer: the written file measured, an end not yet seen taken up.
    void OnTick();
    // Its encoder has ended: the step that follows, or the save.
    void OnRunEnded();
    // A run begun without the input's description: once its log describes the input, the
    // run starts again where that calls for other arguments; true when it did.
    bool LookAtDescription(const std::vector<std::string>& logLines);
    // The encoder has ended for good: what it wrote is saved or removed off the window's thread.
    void Save();

    const BatchSetup& setup_;
    std::shared_ptr<TOutputClaims> claims_;
    Tell tell_;
    bool paused_ = false;
};

}  // namespace convert
