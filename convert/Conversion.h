// TConversion: one file on its way through the encoder, private to the batch.
#pragma once
#include <cstdint>
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
};

}  // namespace convert
