// A DVD-Video disc: what the disc tool is told, and the image's layout as players read it.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "disc/DiscImage.h"
#include "disc/DvdAuthoring.h"
#include "disc/Menu.h"
#include "batch/Plan.h"

using namespace batch;
using namespace disc;
using namespace encode;

namespace {

std::uint32_t Le32(const std::vector<std::uint8_t>& b, std::size_t at)
{
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
unsigned Le16(const std::vector<std::uint8_t>& b, std::size_t at) { return b[at] | b[at + 1] << 8; }
std::string Text(const std::vector<std::uint8_t>& b, std::size_t at, std::size_t n)
{
    return std::string(reinterpret_cast<const char*>(b.data() + at), n);
}

// The names an ISO 9660 reader finds in the image's VIDEO_TS: each record within the folder's
// size, none across a sector's end.
std::vector<std::string> IsoVideoTs(const std::vector<std::uint8_t>& b)
{
    std::size_t at = Le32(b, 16 * 2048 + 158) * 2048ull;  // the root's first record
    while (b[at] && Text(b, at + 33, b[at + 32]) != "VIDEO_TS") at += b[at];
    std::vector<std::string> names;
    for (std::size_t end = Le32(b, at + 2) * 2048ull + Le32(b, at + 10), next = Le32(b, at + 2) * 2048ull; next < end;)
        if (b[next] == 0) next = (next / 2048 + 1) * 2048;
        else names.push_back(Text(b, next + 33, b[next + 32])), next += b[next];
    return names;
}

}  // namespace

TEST(Disc, TheIsoFolderListsEveryFileWhereItsRecordsFillASectorExactly)
{
    // Counts around one and two sectors' worth of records.
    for (int count : {41, 42, 43, 84, 85, 86, 87, 130}) {
        std::vector<DiscFile> files;
        char name[16];
        for (int i = 0; i < count; ++i) std::snprintf(name, sizeof name, "VTS_%02d_%d.VOB", i / 9 + 1, i % 9 + 1), files.push_back({name, 4096});
        const std::vector<std::string> names = IsoVideoTs(PlanDiscImage("Many", files, {}).head);
        ASSERT_EQ(names.size(), files.size() + 2) << count << " files";
        EXPECT_EQ(names.back(), std::string(name) + ";1") << count;
    }
}

TEST(Disc, EveryTitleLeadsToTheNextWithinTheDiscToolsLimits)
{
    for (int count : {1, 2, 41, 42, 65, 99}) {
        const std::vector<DiscTitle> titles(count, DiscTitle{"t.mpg", true, {"eng"}, 1});
        const std::string xml = AuthoringXml(titles, true, "x");
        // Each menu's commands: two for each jump, and its exit.
        std::vector<std::string> menus;
        for (std::size_t at = xml.find("<pre>"); at != std::string::npos; at = xml.find("<pre>", at + 1)) {
            menus.push_back(xml.substr(at, xml.find("</pre>", at) - at));
            EXPECT_LE(2 * std::count(menus.back().begin(), menus.back().end(), ';') - 1, 128) << count;
        }
        for (int title = 2; title <= count; ++title) {
            const std::string post = "g0 = " + std::to_string(title) + "; call vmgm menu " + std::to_string(DispatchMenuOf(title)) + ";";
            EXPECT_NE(xml.find(post), std::string::npos) << count << ": " << title;
            EXPECT_NE(menus.at(DispatchMenuOf(title) - 1).find("if (g0 == " + std::to_string(title) + ") jump title " +
                                                                std::to_string(title) + ";"),
                      std::string::npos)
                << count << ": " << title;
        }
    }
}

TEST(Disc, ATitleSetHoldsNoMoreThanNineVobs)
{
    const std::int64_t gb = 1'000'000'000;
    const struct {
        std::vector<std::int64_t> bytes;
        std::vector<std::vector<int>> sets;
    } cases[] = {
        {{3 * gb, 3 * gb, 3 * gb}, {{0, 1, 2}}},
        {{4 * gb, 4 * gb, 2 * gb}, {{0, 1}, {2}}},
        {{12 * gb, gb}, {{0}, {1}}},
    };
    for (const auto& c : cases) {
        std::vector<DiscTitle> titles;
        for (std::int64_t bytes : c.bytes) titles.push_back({"t.mpg", false, {}, 60, bytes});
        EXPECT_EQ(TitleSets(titles), c.sets);
    }
}

TEST(Disc, TheImageHasBothFileSystemsWithVideoTsFirstAndItsFilesInTheirOrder)
{
    const std::vector<DiscFile> files = {{"VTS_01_1.VOB", 5000}, {"VTS_01_10.VOB", 100}, {"VTS_01_0.BUP", 12288}, {"VIDEO_TS.BUP", 12288},
                                         {"VTS_01_0.IFO", 12288}, {"VIDEO_TS.IFO", 12288}, {"VTS_01_2.VOB", 100}};
    const DiscImagePlan plan = PlanDiscImage("Holiday 2026", files, {2026, 12, 8, 10, 0, 0});
    const std::vector<std::uint8_t>& h = plan.head;
    const struct {
        const char* what;
        std::size_t at;
        std::string is;
    } descriptors[] = {
        {"ISO 9660's primary volume descriptor", 16 * 2048, "\x01" "CD001"},
        {"its volume name, in capitals", 16 * 2048 + 40, "HOLIDAY_2026 "},
        {"the end of ISO 9660's set", 17 * 2048, "\xff" "CD001"},
        {"UDF's recognition: its beginning", 18 * 2048 + 1, "BEA01"},
        {"UDF 1.02", 19 * 2048 + 1, "NSR02"},
        {"and its end", 20 * 2048 + 1, "TEA01"},
        {"the logical volume's domain", 35 * 2048 + 217, "*OSTA UDF Compliant"},
        {"the partition's contents", 34 * 2048 + 25, "+NSR02"},
    };
    for (const auto& d : descriptors) EXPECT_EQ(Text(h, d.at, d.is.size()), d.is) << d.what;
    // UDF's descriptors by their tags, each at its own sector: the anchor at 256 and at the end.
    const std::pair<std::uint32_t, unsigned> tags[] = {{32, 1}, {33, 4}, {34, 5}, {35, 6}, {36, 7}, {37, 8}, {48, 1}, {64, 9}, {256, 2}};
    for (const auto& [sector, tag] : tags) {
        EXPECT_EQ(Le16(h, sector * 2048), tag) << "sector " << sector;
        EXPECT_EQ(Le32(h, sector * 2048 + 12), sector) << "sector " << sector;
        unsigned sum = 0;
        for (int i = 0; i < 16; ++i) sum += i == 4 ? 0 : h[sector * 2048 + i];
        EXPECT_EQ(h[sector * 2048 + 4], sum & 0xFF) << "sector " << sector;
    }
    EXPECT_EQ(Le32(h, 256 * 2048 + 20), 32u) << "the anchor names the main sequence";
    EXPECT_EQ(Le16(plan.tail, 0), 2u);
    EXPECT_EQ(Le32(plan.tail, 12), plan.sectors - 1);
    // The files in a player's order, one after the other, each from a sector of its own.
    // VOBs by their number: VTS_01_2 before VTS_01_10.
    const char* order[] = {"VIDEO_TS.IFO", "VIDEO_TS.BUP", "VTS_01_0.IFO", "VTS_01_1.VOB", "VTS_01_2.VOB", "VTS_01_10.VOB", "VTS_01_0.BUP"};
    ASSERT_EQ(plan.files.size(), std::size(order));
    EXPECT_EQ(plan.fileSector[0] * 2048, h.size());
    for (std::size_t i = 0; i < plan.files.size(); ++i) {
        EXPECT_EQ(plan.files[i].name, order[i]);
        if (i > 0) {
            EXPECT_EQ(plan.fileSector[i], plan.fileSector[i - 1] + (plan.files[i - 1].size + 2047) / 2048) << order[i];
        }
    }
    EXPECT_EQ(plan.sectors, plan.fileSector.back() + 6 + 1);
    EXPECT_EQ(Le32(h, 16 * 2048 + 80), plan.sectors) << "ISO 9660's size of the volume";
    EXPECT_LE(plan.Bytes() - 5000 - 200 - 4 * 12288, DiscImageOverhead(7));
}

TEST(Disc, UdfsCrcIsTheCcittOneFromZero)
{
    const std::uint8_t bytes[] = {0x70, 0x6A, 0x77};  // ECMA-167's own example
    EXPECT_EQ(UdfCrc(bytes, 3), 0x3299);
}

TEST(Disc, TheDiscToolIsToldEachTitleItsShapeLanguagesChaptersAndWhatFollows)
{
    const std::vector<DiscTitle> titles = {{"C:\\out\\a & b.mpg", true, {"eng"}, 12 * 60},
                                           {"C:\\out\\b.mpg", true, {"eng"}, 60},
                                           {"C:\\out\\c.mpg", false, {"fre", "ger", ""}, 60}};
    const std::string xml = AuthoringXml(titles, true, "C:\\out\\Disc.~00");
    const char* said[] = {
        "<dvdauthor dest=\"C:\\out\\Disc.~00\"",
        "<fpc>jump title 1;</fpc>",
        "<video format=\"pal\"/>",
        "if (g0 == 2) jump title 2; if (g0 == 3) jump title 3; exit;",
        "<video format=\"pal\" aspect=\"16:9\" widescreen=\"nopanscan\"/>\n   <audio lang=\"en\"/>\n   <pgc>",
        "<vob file=\"C:\\out\\a &amp; b.mpg\" chapters=\"0,0:05:00,0:10:00\"/>\n    <post>g0 = 2; call vmgm menu 1;</post>",
        "<post>g0 = 3; call vmgm menu 1;</post>\n   </pgc>\n  </titles>\n </titleset>\n <titleset>",
        "<video format=\"pal\" aspect=\"4:3\"/>\n   <audio lang=\"fr\"/>\n   <audio lang=\"de\"/>\n   <audio/>",
        "<vob file=\"C:\\out\\c.mpg\" chapters=\"0\"/>\n    <post>exit;</post>",
    };
    for (const char* text : said) EXPECT_NE(xml.find(text), std::string::npos) << text << "\n" << xml;
    EXPECT_EQ(AuthoringXml(titles, false, "x").find("pal"), std::string::npos);
}

TEST(Disc, LanguagesAreNamedAsADvdNamesThem)
{
    const std::pair<const char*, const char*> cases[] = {{"eng", "en"}, {"ger", "de"}, {"deu", "de"}, {"FRA", "fr"}, {"zho", "zh"},
                                                         {"zul", "zu"}, {"en", "en"}, {"und", ""}, {"", ""}, {"xx", ""}, {"qaa", ""}};
    for (const auto& [code, dvd] : cases) EXPECT_EQ(DvdLanguage(code), dvd) << code;
}

TEST(Disc, AFittedDiscLeavesRoomForItsOwnFilesAndNeedsRoomForStreamsFolderAndImage)
{
    const std::vector<PlannedRow> rows = {{3600, "D:\\"}, {1800, "D:\\"}};
    const BatchPlan files = PlanBatch(rows, Target::DvdPal, Quality::Standard, DiscFit(FitSize::Dvd));
    const BatchPlan disc = PlanBatch(rows, Target::DvdPal, Quality::Standard, DiscFit(FitSize::Dvd), MadeAsOne::Disc, "D:\\");
    ASSERT_TRUE(files.fitted && disc.fitted);
    EXPECT_LT(disc.fitted->video, files.fitted->video);
    EXPECT_EQ(disc.room, 4'700'000'000 - DiscOverhead(2, 5400)) << "what each file's rate is worked out from";
    const std::int64_t streams = FittedBytes(disc.fitted->video, 5400, Target::DvdPal, Quality::Standard);
    EXPECT_LE(streams + DiscOverhead(2, 5400), 4'700'000'000);
    EXPECT_EQ(disc.discBytes, disc.bytes + DiscOverhead(2, 5400));
    EXPECT_EQ(disc.volumes[0].bytes, disc.bytes + 2 * disc.discBytes) << "the streams, the folder and the image at once";
    EXPECT_EQ(disc.volumes[0].image, disc.discBytes);
    // Beside their inputs, the streams on theirs and the disc on the output folder's.
    const BatchPlan beside = PlanBatch({{7200, "E:\\"}, {3600, "F:\\"}}, Target::DvdPal, Quality::Standard, {}, MadeAsOne::Disc, "D:\\");
    ASSERT_EQ(beside.volumes.size(), 3u);
    EXPECT_EQ(beside.volumes[0].bytes + beside.volumes[1].bytes, beside.bytes);
    EXPECT_EQ(beside.volumes[2].root, "D:\\");
    EXPECT_EQ(beside.volumes[2].image, beside.discBytes);
    EXPECT_EQ(LargeDiscQuestion(beside.discBytes, DiscFit(FitSize::Dvd)),
              "The disc would take about " + SizeText(beside.discBytes) + ", more than a DVD holds (4.7 GB). Fit it to a DVD?");
    EXPECT_GT(beside.discBytes, DiscFit(FitSize::Dvd).bytes) << "three hours at a DVD's own rate";
}

TEST(DiscMenu, PagesOfSixTitlesNumberedInReadingOrderLinkedAsTheyLieInsideTheSafeArea)
{
    struct Case {
        int page, titles;
        std::vector<ButtonKind> kinds;
        std::vector<std::array<int, 4>> links;  // up, down, left, right of each button
    } cases[] = {
        {1, 8, {ButtonKind::Title, ButtonKind::Title, ButtonKind::Title, ButtonKind::Title, ButtonKind::Title, ButtonKind::Title, ButtonKind::PlayAll, ButtonKind::Next},
         {{1, 3, 1, 2}, {2, 4, 1, 2}, {1, 5, 3, 4}, {2, 6, 3, 4}, {3, 7, 5, 6}, {4, 8, 5, 6}, {6, 7, 7, 8}, {6, 8, 7, 8}}},
        {2, 8, {ButtonKind::Title, ButtonKind::Title, ButtonKind::Previous, ButtonKind::PlayAll}, {{1, 3, 1, 2}, {2, 4, 1, 2}, {1, 3, 3, 4}, {2, 4, 3, 4}}},
        {17, 99, {ButtonKind::Title, ButtonKind::Title, ButtonKind::Title, ButtonKind::Previous, ButtonKind::PlayAll},
         {{1, 3, 1, 2}, {2, 5, 1, 2}, {1, 4, 3, 3}, {3, 4, 4, 5}, {3, 5, 4, 5}}},
    };
    for (const Case& c : cases) {
        for (const bool pal : {true, false}) {
            const MenuPage page = MenuPageOf(c.page, c.titles, pal);
            ASSERT_EQ(page.buttons.size(), c.kinds.size()) << c.page;
            for (std::size_t n = 0; n < page.buttons.size(); ++n) {
                const MenuButton& b = page.buttons[n];
                EXPECT_EQ(b.kind, c.kinds[n]) << c.page << " " << n;
                EXPECT_EQ((std::array<int, 4>{b.up, b.down, b.left, b.right}), c.links[n]) << c.page << " " << n;
                EXPECT_TRUE(b.box.left >= page.safe.left && b.box.right <= page.safe.right && b.box.top >= page.safe.top &&
                            b.box.bottom <= page.safe.bottom && b.box.top % 2 == 0 && b.box.bottom % 2 == 0)
                    << "inside the title-safe area, on whole lines of both fields";
            }
            EXPECT_EQ(page.safe, (MenuBox{72, pal ? 58 : 48, 648, pal ? 518 : 432}));
        }
    }
    EXPECT_EQ(MenuPageOf(17, 99, true).buttons[2].title, 99);
    EXPECT_EQ(PagesFor(99), 17);
    EXPECT_EQ(LengthText(205), "3:25");
    EXPECT_EQ(LengthText(3727), "1:02:07");
    const MenuLetters letters = LettersOf(MenuPageOf(1, 8, false));
    EXPECT_GE(std::min({letters.heading, letters.name, letters.length, letters.button, letters.pageLabel}), 20);
}
