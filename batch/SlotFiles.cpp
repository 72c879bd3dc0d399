// The files of the encoders' slots.
#include "batch/SlotFiles.h"

#include <windows.h>

#include "batch/OutputFiles.h"
#include "encode/Subtitles.h"
#include "framework/Files.h"

namespace batch {

namespace {

// A slot's file removed once no process holds it. One deleted while an ended encoder still
// holds it would stay pending: Windows then refuses the slot's next encoder that name, and
// Wine removes the next encoder's file of that name when it ends, before it is read.
void RemoveReleased(const std::string& path)
{
    if (fw::WaitUntilReleased(path)) DeleteFileA(path.c_str());
}

}  // namespace

std::string LogPath(const std::string& folder, int slot)
{
    return folder + (slot == 0 ? std::string("ffmpeg_log.txt") : "ffmpeg_log_" + std::to_string(slot + 1) + ".txt");
}

std::string PassLogPath(const std::string& folder, int slot)
{
    return folder + "ffmpeg_pass_" + std::to_string(slot + 1);
}

std::string SubtitlesCopyPath(const std::string& folder, int slot)
{
    return folder + "ffmpeg_subtitles_" + std::to_string(slot + 1);
}

void RemoveSlotFiles(const std::string& folder, int slot)
{
    RemoveReleased(PassLogPath(folder, slot) + "-0.log");
    for (std::string_view extension : encode::kSubtitleExtensions)
        RemoveReleased(SubtitlesCopyPath(folder, slot) + std::string(extension));
}

void RemoveLogs(const std::string& folder)
{
    for (int slot = 0; slot < kMostEncoders; ++slot) {
        RemoveReleased(LogPath(folder, slot));
        RemoveSlotFiles(folder, slot);
    }
}

}  // namespace batch
