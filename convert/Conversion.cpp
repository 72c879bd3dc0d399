// What one conversion asks of the encoder, and what it says of its file.
#include "convert/Conversion.h"

#include <algorithm>

#include "convert/EncoderRun.h"
#include "convert/SlotFiles.h"
#include "framework/Files.h"
#include "framework/Unicode.h"

namespace convert {

EncodeRequest TConversion::Request(const BatchSetup& setup) const
{
    return {fw::ExtendedPath(input), fw::ExtendedPath(written), setup.choices.target, setup.choices.quality,
            facts, scaledTo, fittedRate, PassOf(step), PassLogPath(setup.logFolder, slot), sidecar, ownTrack};
}

std::int64_t TConversion::ExpectedSize(const BatchSetup& setup) const
{
    return ExpectedSizeFor(static_cast<int>(mediaSeconds), ExpectedRateKBps(Request(setup)));
}

std::int64_t TConversion::DoneBytes() const
{
    const int pass = PassOf(step);
    if (pass == 0) return lastSize;
    return std::min(lastSize, expectedSize) / 2 + (pass == 2 ? expectedSize / 2 : 0);
}

std::string TConversion::Notes(const BatchSetup& setup, const std::string& savedNote) const
{
    std::string notes = JoinNotes(placeNote, shortNote);
    if (const std::optional<SubtitleSource> source = SubtitlesOf(Request(setup))) {
        // A burn-in that drew nothing says so instead: no row reads as subtitled without them.
        const UndrawnText undrawn = UndrawnOf(LogLinesWith(log, "fallback"));
        if (!undrawn.noFont) notes = JoinNotes(notes, SubtitlesBurnedNote(*source));
        notes = JoinNotes(notes, UndrawnNote(undrawn));
    }
    notes = JoinNotes(notes, subtitlesNote);
    for (const std::string& note : ColourNotes(Request(setup))) notes = JoinNotes(notes, note);
    if (scaledTo) notes = JoinNotes(notes, ScaledNote(*scaledFrom, *scaledTo, fw::SystemMarks()));
    return JoinNotes(notes, savedNote);
}

}  // namespace convert
