// The files of a slot, one of the encoders that run at once: its log, the passes' log of a
// fitted file and the UTF-8 copy of its subtitles, all in the temporary folder.
#pragma once
#include <string>

namespace batch {

// The log of the encoder in that slot: "ffmpeg_log.txt", "ffmpeg_log_2.txt"...
std::string LogPath(const std::string& folder, int slot);
// The passes' log of a fitted file in that slot, as the encoder is told it: it adds "-0.log".
std::string PassLogPath(const std::string& folder, int slot);
// The UTF-8 copy of the subtitles of the file in that slot, before its extension.
std::string SubtitlesCopyPath(const std::string& folder, int slot);
// What the encoder of that slot was given and wrote beside its log, removed once no process
// holds it.
void RemoveSlotFiles(const std::string& folder, int slot);
// The files of every slot, its log too, removed from that folder.
void RemoveLogs(const std::string& folder);

}  // namespace batch
