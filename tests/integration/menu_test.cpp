// A disc's menu: its still is the page the program drew, and a batch's disc of eight titles
// opens on it. The discs kept are walked as a player walks them, with Debian's libdvdnav, by
// tests/menu_readback.sh.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "disc/MenuMaker.h"
#include "disc/MenuPicture.h"
#include "form_fixture.h"
#include "framework/Files.h"

using namespace testing_support;

namespace {

// A 24-bit BMP's pixels, a row of blue, green and red bytes each, its top row first.
std::vector<std::vector<unsigned char>> Rows(const std::string& bmp)
{
    const std::string bytes = ReadFile(bmp);
    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&info, bytes.data() + sizeof file, sizeof info);
    const int height = std::abs(info.biHeight), stride = (info.biWidth * 3 + 3) & ~3;
    std::vector<std::vector<unsigned char>> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const char* row = bytes.data() + file.bfOffBits + static_cast<std::size_t>(info.biHeight > 0 ? height - 1 - y : y) * stride;
        rows[static_cast<std::size_t>(y)].assign(row, row + info.biWidth * 3);
    }
    return rows;
}

// The mean difference of two pictures' bytes, the second moved `shift` pixels to the right.
double Difference(const std::vector<std::vector<unsigned char>>& a, const std::vector<std::vector<unsigned char>>& b, int shift = 0)
{
    double sum = 0;
    long count = 0;
    for (std::size_t y = 0; y < a.size() && y < b.size(); ++y)
        for (std::size_t x = 3 * static_cast<std::size_t>(shift); x < a[y].size() && x < b[y].size(); ++x, ++count)
            sum += std::abs(a[y][x] - b[y][x - 3 * static_cast<std::size_t>(shift)]);
    return count ? sum / count : 255;
}

using MenuTest = ConvertingTest;

}  // namespace

TEST_F(MenuTest, ItsStillIsThePageTheProgramDrewNeitherScaledNorShifted)
{
    const disc::MenuPage page = disc::MenuPageOf(1, 8, true);
    disc::MenuTexts texts{.discName = "Holiday in Wales"};
    for (int i = 1; i <= 8; ++i) texts.names.push_back("Clip number " + std::to_string(i)), texts.seconds.push_back(i * 61);
    ASSERT_EQ(disc::DrawMenuPage(page, texts, PayloadFolder() + "fonts\\DejaVuSans.ttf", work + "page.bmp"), "");
    ASSERT_EQ(RunAndWaitExit("\"" + PayloadFolder() + "ffmpeg.exe\" " + disc::StillsArguments({work + "page.bmp"}, true, {work + "still.mpg"}).Line()), 0);
    ASSERT_EQ(RunAndWaitExit(encoder + "-i still.mpg -frames:v 1 -f image2 -c:v bmp frame.bmp", work), 0);
    const auto drawn = Rows(work + "page.bmp"), shown = Rows(work + "frame.bmp");
    ASSERT_EQ(shown.size(), 576u);
    ASSERT_EQ(shown[0].size(), 720u * 3);
    const double difference = Difference(drawn, shown);
    EXPECT_LT(difference, 4.0) << "the page as drawn, but for the encoding";
    EXPECT_GT(Difference(drawn, shown, 2), 1.5 * difference) << "two pixels off shows";
}

TEST_F(MenuTest, ABatchsDiscOfEightTitlesOpensOnItsMenu)
{
    MakeClip(work + "Clip 1.mp4", 1);
    for (int i = 1; i <= 8; ++i) {
        const std::string clip = work + "Clip " + std::to_string(i) + ".mp4";
        CopyFileA((work + "Clip 1.mp4").c_str(), clip.c_str(), FALSE);
        QueueFile(clip, 1);
    }
    Choose([](batch::Choices& c) {
        c.target = encode::Target::DvdPal, c.disc = disc::Disc::DvdVideo, c.discMenu = disc::DiscMenu::Titles, c.discName = "Eight";
    });
    ConvertAll();
    EXPECT_EQ(session->Queue().Reason(7), "Title 8 of the DVD-Video disc \"Eight\" (Eight.iso and its folder).");
    EXPECT_TRUE(fw::FileExists(work + "Eight\\VIDEO_TS\\VIDEO_TS.VOB")) << "its menu";
    const std::string kept = ExeFolder() + "menu\\";
    RemoveTree(kept);
    CreateDirectoryA(kept.c_str(), nullptr);
    ASSERT_TRUE(MoveFileA((work + "Eight").c_str(), (kept + "Eight").c_str()));
}
