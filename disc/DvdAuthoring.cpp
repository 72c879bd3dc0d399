// What the disc tool is told, and what it says back.
#include "disc/DvdAuthoring.h"

#include <algorithm>
#include <cstdio>
#include <numeric>

#include "disc/DiscImage.h"
#include "disc/Menu.h"
#include "disc/MenuAuthoring.h"
#include "framework/text.h"

namespace disc {

namespace {

constexpr const char* kDiscSettings[] = {"none", "dvd-video"};
constexpr int kChapterSeconds = 5 * 60;

// ISO 639-2 codes (bibliographic forms too) and their ISO 639-1 code, which a DVD takes.
constexpr std::string_view kLanguages =
    "aar aa abk ab afr af aka ak amh am ara ar arg an asm as ava av ave ae aym ay aze az bak ba bam bm bel be ben bn "
    "bis bi bod bo tib bo bos bs bre br bul bg cat ca ces cs cze cs cha ch che ce chu cu chv cv cor kw cos co cre cr "
    "cym cy wel cy dan da deu de ger de div dv dzo dz ell el gre el eng en epo eo est et eus eu baq eu ewe ee fao fo "
    "fas fa per fa fij fj fin fi fra fr fre fr fry fy ful ff gla gd gle ga glg gl glv gv grn gn guj gu hat ht hau ha "
    "heb he her hz hin hi hmo ho hrv hr hun hu hye hy arm hy ibo ig ido io iii ii iku iu ile ie ina ia ind id ipk ik "
    "isl is ice is ita it jav jv jpn ja kal kl kan kn kas ks kat ka geo ka kau kr kaz kk khm km kik ki kin rw kir ky "
    "kom kv kon kg kor ko kua kj kur ku lao lo lat la lav lv lim li lin ln lit lt ltz lb lub lu lug lg mah mh mal ml "
    "mar mr mkd mk mac mk mlg mg mlt mt mon mn mri mi mao mi msa ms may ms mya my bur my nau na nav nv nbl nr nde nd "
    "ndo ng nep ne nld nl dut nl nno nn nob nb nor no nya ny oci oc oji oj ori or orm om oss os pan pa pli pi pol pl "
    "por pt pus ps que qu roh rm ron ro rum ro run rn rus ru sag sg san sa sin si slk sk slo sk slv sl sme se smo sm "
    "sna sn snd sd som so sot st spa es sqi sq alb sq srd sc srp sr ssw ss sun su swa sw swe sv tah ty tam ta tat tt "
    "tel te tgk tg tgl tl tha th tir ti ton to tsn tn tso ts tuk tk tur tr twi tw uig ug ukr uk urd ur uzb uz ven ve "
    "vie vi vol vo wln wa wol wo xho xh yid yi yor yo zha za zho zh chi zh zul zu ";

std::string Lower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// The text with XML's special characters written as entities.
std::string Escaped(std::string_view text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// A DVD's audio languages for a title: each known one, the others left unsaid.
std::vector<std::string> DvdLanguages(const DiscTitle& title)
{
    std::vector<std::string> languages;
    for (const std::string& code : title.languages) languages.push_back(DvdLanguage(code));
    return languages;
}

}  // namespace

Disc DiscFromSetting(std::string_view setting)
{
    return setting == kDiscSettings[1] ? Disc::DvdVideo : Disc::None;
}

const char* DiscSetting(Disc disc) { return kDiscSettings[static_cast<int>(disc)]; }

bool MakesDisc(Disc disc, encode::Target target)
{
    return disc == Disc::DvdVideo && (target == encode::Target::DvdPal || target == encode::Target::DvdNtsc);
}

std::string TooManyTitlesMessage(int files)
{
    return "A DVD-Video disc holds at most 99 titles, and this batch has " + std::to_string(files) +
           " files. Convert them in batches of up to 99, or choose Make ▸ Files to convert them all as files.";
}

std::string DiscMadeText(const std::string& name, const std::string& image, int leftOut, const std::string& note)
{
    std::string text = "The DVD-Video disc \"" + name + "\" was made (" +
                       (image == name + ".iso" ? image + " and its folder"
                        : image.empty()        ? "its folder only"
                                               : "its folder, and its image as " + image) +
                       ")";
    if (leftOut == 1) text += "; 1 file is not on it: it failed or has no picture";
    if (leftOut > 1) text += "; " + std::to_string(leftOut) + " files are not on it: they failed or have no picture";
    if (!note.empty()) text += "; " + note;
    return text + ".";
}

std::string DiscNotMadeText(const std::string& why)
{
    std::string reason = why;
    while (!reason.empty() && reason.back() == '.') reason.pop_back();
    return "The DVD-Video disc was not made: " + reason + ". The converted files were kept.";
}

int Chapters(double seconds)
{
    const std::string marks = ChapterMarks(seconds);
    return 1 + static_cast<int>(std::count(marks.begin(), marks.end(), ','));
}

std::vector<int> FirstChapters(const std::vector<DiscTitle>& titles)
{
    std::vector<int> firsts;
    for (int chapter = 1; const DiscTitle& title : titles) firsts.push_back(chapter), chapter += Chapters(title.seconds);
    return firsts;
}

std::string TitleNote(int title, const std::string& name, bool chapter)
{
    return (chapter ? "Chapter " : "Title ") + std::to_string(title) + " of the DVD-Video disc \"" + name + "\" (" + name + ".iso and its folder).";
}

std::string DefaultDiscName(std::string_view today)
{
    return "DVD " + std::string(today);
}

std::string DvdLanguage(std::string_view code)
{
    const std::string lower = Lower(fw::Trim(code));
    if (lower.size() == 2 && kLanguages.find(" " + lower + " ") != std::string_view::npos) return lower;
    if (lower.size() != 3) return {};
    for (std::size_t at = 0; at + 6 < kLanguages.size(); at += 7)
        if (kLanguages.substr(at, 3) == lower) return std::string(kLanguages.substr(at + 4, 2));
    return {};
}

std::string ChapterMarks(double seconds)
{
    std::string marks = "0";
    for (int start = kChapterSeconds; start < seconds; start += kChapterSeconds) {
        char mark[24];
        std::snprintf(mark, sizeof mark, ",%d:%02d:00", start / 3600, start / 60 % 60);
        marks += mark;
    }
    return marks;
}

int DispatchMenuOf(int title)
{
    return 1 + (std::max(title, 2) - 2) / kDispatchesPerMenu;
}

std::vector<std::vector<int>> TitleSets(const std::vector<DiscTitle>& titles)
{
    std::vector<std::vector<int>> sets;
    std::int64_t setBytes = 0;
    for (int i = 0; i < static_cast<int>(titles.size()); ++i) {
        const DiscTitle& title = titles[i];
        const bool joins = !sets.empty() && titles[sets.back().front()].wide == title.wide &&
                           DvdLanguages(titles[sets.back().front()]) == DvdLanguages(title) &&
                           setBytes + title.bytes <= kTitleSetMostBytes;
        if (!joins) sets.emplace_back(), setBytes = 0;
        sets.back().push_back(i);
        setBytes += title.bytes;
    }
    return sets;
}

namespace {

// The disc's own part: with a menu, its pages and the menus that go on from a title's end;
// without, the menus of no picture that take the end of title n to title n + 1, which the
// titles' ends name in g0, each a share of the titles, as one program chain holds at most 128
// commands.
std::string ManagerXml(const std::vector<DiscTitle>& titles, bool pal, bool oneTitle, const std::vector<std::string>& menuPages)
{
    const int count = static_cast<int>(titles.size());
    std::string xml = " <vmgm>\n";
    if (!menuPages.empty()) {
        std::vector<std::string> pages;
        for (const std::string& page : menuPages) pages.push_back(Escaped(page));
        return xml + MenuManagerXml(oneTitle ? 1 : count, pal, pages, oneTitle ? FirstChapters(titles) : std::vector<int>{}) + " </vmgm>\n";
    }
    xml += "  <fpc>jump title 1;</fpc>\n  <menus>\n   <video format=\"" + std::string(pal ? "pal" : "ntsc") + "\"/>\n";
    for (int menu = 1; menu == 1 || menu <= DispatchMenuOf(count); ++menu) {
        xml += "   <pgc>\n    <pre>";
        for (int next = std::max(2, (menu - 1) * kDispatchesPerMenu + 2); next <= count && DispatchMenuOf(next) == menu; ++next)
            xml += "if (g0 == " + std::to_string(next) + ") jump title " + std::to_string(next) + "; ";
        xml += "exit;</pre>\n   </pgc>\n";
    }
    return xml + "  </menus>\n </vmgm>\n";
}

// A title set: its titles (joined, one of them all, each stream a cell that starts a chapter)
// and, with a menu, its own menu that the Menu key opens.
std::string TitleSetXml(const std::vector<DiscTitle>& titles, const std::vector<int>& set, bool pal, bool oneTitle, int pages)
{
    const DiscTitle& first = titles[set.front()];
    const int count = static_cast<int>(titles.size());
    std::string xml = " <titleset>\n" + (pages > 0 ? TitleSetMenuXml(pal, first.wide, oneTitle ? FirstChapters(titles) : std::vector<int>{}) : std::string()) + "  <titles>\n   <video format=\"" +
                      (pal ? "pal" : "ntsc") + "\" aspect=\"" + (first.wide ? "16:9" : "4:3") + "\"" + (first.wide ? " widescreen=\"nopanscan\"" : "") + "/>\n";
    for (const std::string& language : DvdLanguages(first)) xml += language.empty() ? "   <audio/>\n" : "   <audio lang=\"" + language + "\"/>\n";
    auto vob = [&](int i) { return "    <vob file=\"" + Escaped(titles[i].stream) + "\" chapters=\"" + ChapterMarks(titles[i].seconds) + "\"/>\n"; };
    // A title's end: with a menu, the manager's menu that goes on from it; else the next title.
    auto end = [&](int title) {
        if (pages > 0) return "g0 = " + std::to_string(title) + "; call vmgm menu " + std::to_string(EndMenuOf(title, pages)) + ";";
        if (title >= count || oneTitle) return std::string("exit;");
        return "g0 = " + std::to_string(title + 1) + "; call vmgm menu " + std::to_string(DispatchMenuOf(title + 1)) + ";";
    };
    if (oneTitle) {
        xml += "   <pgc>\n";
        for (const int i : set) xml += vob(i);
        xml += "    <post>" + end(1) + "</post>\n   </pgc>\n";
    }
    for (const int i : oneTitle ? std::vector<int>{} : set)
        xml += "   <pgc>\n" + (pages > 0 ? "    <pre>g4 = " + std::to_string(i + 1) + ";</pre>\n" : std::string()) + vob(i) + "    <post>" + end(i + 1) +
               "</post>\n   </pgc>\n";
    return xml + "  </titles>\n </titleset>\n";
}

}  // namespace

std::string AuthoringXml(const std::vector<DiscTitle>& titles, bool pal, const std::string& folder, bool oneTitle,
                         const std::vector<std::string>& menuPages)
{
    std::string xml = "<dvdauthor dest=\"" + Escaped(folder) + "\" jumppad=\"0\">\n" + ManagerXml(titles, pal, oneTitle, menuPages);
    std::vector<std::vector<int>> sets = TitleSets(titles);
    if (oneTitle) sets = {std::vector<int>(titles.size())}, std::iota(sets[0].begin(), sets[0].end(), 0);
    for (const std::vector<int>& set : sets) xml += TitleSetXml(titles, set, pal, oneTitle, static_cast<int>(menuPages.size()));
    return xml + "</dvdauthor>\n";
}

std::string AuthoringError(std::string_view log)
{
    // One message may take several lines, each with its "ERR:".
    std::string said;
    for (std::size_t at = log.find("ERR:"); at != std::string_view::npos; at = log.find("ERR:", at + 4)) {
        const std::size_t end = log.find_first_of("\r\n", at);
        const std::string line = fw::Trim(log.substr(at + 4, end == std::string_view::npos ? std::string_view::npos : end - at - 4));
        if (!line.empty()) said += (said.empty() ? "" : " ") + line;
    }
    return said;
}

std::int64_t DiscOverhead(int titles, std::int64_t mediaSeconds, bool menu)
{
    // Each title set's information and its backup (12 KB each, more with its chapters), the
    // disc's own, and the image's sectors: about 130 KB a title and 1 MB.
    const std::int64_t information = (titles + 1) * 2 * 24 * 1024 + mediaSeconds / kChapterSeconds * 2 * 64;
    const bool pages = HasMenu(menu ? DiscMenu::Titles : DiscMenu::None, titles);
    return information + (pages ? PagesFor(titles) * kMenuPageBytes : 0) + DiscImageOverhead(titles * 4 + 3 + (pages ? 1 : 0));
}

}  // namespace disc
