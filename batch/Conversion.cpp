// What one conversion asks of the encoder, and what it says of its file.
#include "batch/Conversion.h"

#include <algorithm>

#include "encode/EncoderRun.h"
#include "encode/Join.h"
#include "encode/Rates.h"
#include "batch/SlotFiles.h"
#include "framework/Files.h"
#include "framework/Unicode.h"

namespace batch {

encode::EncodeRequest TConversion::Request() const
{
    return {fw::ExtendedPath(start_.file.input), fw::ExtendedPath(start_.file.written), setup_.choices.target, setup_.choices.quality,
            facts_, scaledTo_, start_.fittedRate, encode::PassOf(step_), PassLogPath(setup_.logFolder, start_.file.slot), sidecar_, ownTrack_,
            sound_.gainDb, setup_.choices.loudness == encode::Loudness::Even && start_.fittedRate.has_value(), setup_.choices.fill,
            setup_.title};
}

std::int64_t TConversion::Expected() const
{
    return encode::ExpectedSizeFor(static_cast<int>(start_.file.mediaSeconds), encode::ExpectedRateKBps(Request()));
}

std::int64_t TConversion::DoneBytes() const
{
    const int pass = encode::PassOf(step_);
    if (pass == 0) return lastSize_;
    return std::min(lastSize_, start_.file.expectedSize) / 2 + (pass == 2 ? start_.file.expectedSize / 2 : 0);
}

std::string TConversion::Notes(const std::string& savedNote) const
{
    std::string notes = JoinNotes(start_.placeNote, shortNote_);
    if (const std::optional<encode::SubtitleSource> source = encode::SubtitlesOf(Request())) {
        // A burn-in that drew nothing says so instead: no row reads as subtitled without them.
        const encode::UndrawnText undrawn = encode::UndrawnOf(encode::LogLinesWith(log_, "fallback"));
        if (!undrawn.noFont) notes = JoinNotes(notes, encode::SubtitlesBurnedNote(*source));
        notes = JoinNotes(notes, encode::UndrawnNote(undrawn));
    }
    notes = JoinNotes(notes, subtitlesNote_);
    notes = JoinNotes(notes, sound_.note);
    for (const std::string& note : encode::ColourNotes(Request())) notes = JoinNotes(notes, note);
    if (scaledTo_) notes = JoinNotes(notes, encode::ScaledNote(*scaledFrom_, *scaledTo_, fw::SystemMarks()));
    return JoinNotes(notes, savedNote);
}

ConversionEnd TConversion::End() const
{
    const SaveJob& saved = saver_->Result();
    std::string reason = failure_;
    if (reason.empty() && saved.savedAs.empty()) reason = saved.note;
    if (stopped_) return {.outcome = Outcome::Stopped, .bytes = lastSize_};
    if (!reason.empty()) return {.outcome = Outcome::Failed, .text = reason, .bytes = lastSize_};
    return {Outcome::Converted, saved.savedAs, Notes(saved.note), lastSize_, facts_,
            encode::PictureSeconds(setup_.choices.target, frames_)};
}

}  // namespace batch
