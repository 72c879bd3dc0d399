// The encoder the build makes: it has every part the program's lines need, and the
// deinterlacer of the program's line changes interlaced frames only.
#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "encode/EncoderArgs.h"
#include "support.h"

using namespace testing_support;

namespace {

std::string Encoder() { return "\"" + PayloadFolder() + "ffmpeg.exe\""; }

// The names of a listing such as "-decoders": the word after each line's flags (" D d lavfi"
// has two words of flags); "mov,mp4,..." gives each of its names.
std::set<std::string> Listed(const std::string& option)
{
    std::set<std::string> names;
    std::istringstream lines(RunAndCapture(Encoder() + " -hide_banner " + option));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string flags, name, more;
        if (!(words >> flags >> name)) continue;
        if (name.size() == 1 && words >> more) name = more;
        std::istringstream parts(name);
        for (std::string part; std::getline(parts, part, ',');) names.insert(part);
    }
    return names;
}

}  // namespace

TEST(Encoder, HasEveryPartTheProgramUses)
{
    const struct {
        const char* option;
        std::vector<const char*> names;
    } lists[] = {
        {"-demuxers", {"mov", "mpeg", "lavfi"}},
        {"-decoders", {"h264", "hevc", "vp9", "libdav1d", "vvc", "mpeg4", "mjpeg", "mpeg1video", "mpeg2video", "aac",
                       "mp3float", "ac3", "eac3", "opus", "alac", "flac", "pcm_s16le", "pcm_s24le", "mp2"}},
        {"-encoders", {"mpeg1video", "mpeg2video", "mp2", "ac3"}},
        {"-muxers", {"mpeg", "vcd", "dvd"}},
        {"-filters", {"scale", "pad", "setdar", "yadif", "zscale", "tonemap", "format", "anullsrc"}},
    };
    for (const auto& list : lists) {
        const std::set<std::string> names = Listed(list.option);
        for (const char* name : list.names) EXPECT_TRUE(names.count(name)) << list.option << " lacks " << name;
    }
    EXPECT_NE(RunAndCapture(Encoder() + " -hide_banner -protocols").find("  file"), std::string::npos);
}

TEST(Encoder, TheProgramsLineDeinterlacesInterlacedFramesAndLeavesProgressiveOnesAlone)
{
    const std::string work = FreshFolder("encoder");
    MakeClip(work + "progressive.mp4", 1);
    // MPEG-2 coded with interlaced DCT marks every frame interlaced.
    ASSERT_EQ(RunAndWaitExit(Encoder() + " -v error -y -f lavfi -i testsrc=size=160x120:rate=25 -t 1 -c:v mpeg2video "
                                         "-flags +ildct+ilme -top 1 \"" + work + "interlaced.mp4\""), 0);
    auto convert = [&](const std::string& clip, bool deinterlacer) {
        std::string args = encode::EncodeArguments({work + clip + ".mp4", work + clip + ".mpg"}).Line();
        if (!deinterlacer) args.replace(args.find(encode::kDeinterlace), encode::kDeinterlace.size(), "null");
        EXPECT_EQ(RunAndWaitExit(Encoder() + " -v error" + args), 0) << args;
        return ReadFile(work + clip + ".mpg");
    };
    const std::string progressive = convert("progressive", true);
    EXPECT_FALSE(progressive.empty());
    EXPECT_EQ(progressive, convert("progressive", false)) << "a progressive frame passes untouched";
    EXPECT_NE(convert("interlaced", true), convert("interlaced", false)) << "an interlaced frame is deinterlaced";
    RemoveTree(work);
}
