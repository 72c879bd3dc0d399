// A DVD-Video disc from a batch's streams: what the disc tool is told. Each converted file is
// a title, in the queue's order, with a chapter every five minutes; the disc plays the first
// title when it is put in, each after the one before, and stops after the last. No menu.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "encode/TargetLogic.h"

namespace disc {

// What the user chose to make of a DVD batch: its files, or a disc of them.
enum class Disc { None, DvdVideo };
Disc DiscFromSetting(std::string_view setting);  // "none" (the default) or "dvd-video"
const char* DiscSetting(Disc disc);
// Whether a batch makes a disc: a DVD-Video one of the DVD targets only.
bool MakesDisc(Disc disc, encode::Target target);
// Making the disc counts in a batch's progress as this share of its files' media seconds:
// the disc tool and the image each read and write the streams once, at the disk's pace.
inline constexpr double kDiscShare = 0.03;

// A DVD-Video disc holds at most 99 titles.
inline constexpr int kDiscMostTitles = 99;
// What is said before the start of a disc batch of more files than that.
std::string TooManyTitlesMessage(int files);

// What the batch's end says of the disc: "The DVD-Video disc "Holiday" was made (Holiday.iso
// and its folder); 2 files are not on it: they failed or have no picture.", with its image's
// name as made (none where it was not) and what else is not as asked; or why it was not made.
std::string DiscMadeText(const std::string& name, const std::string& image, int leftOut, const std::string& note = {});
std::string DiscNotMadeText(const std::string& why);
// What a click on a disc's row says: "Title 2 of the DVD-Video disc "Holiday"."; on a joined
// disc, the chapter its file starts: "Chapter 3 of the DVD-Video disc "Holiday"."
std::string TitleNote(int title, const std::string& name, bool chapter = false);

// The disc's name when the user has chosen none: "DVD 2026-12-08".
std::string DefaultDiscName(std::string_view today);

// One title: its stream, its picture's shape and its audio tracks' languages in their order
// (ISO 639-2 as the input says them, "eng"; empty where it says none).
struct DiscTitle {
    std::string stream;
    bool wide = false;
    std::vector<std::string> languages;
    double seconds = 0;
    std::int64_t bytes = 0;  // the stream's size
    std::string name{};      // what its button in the menu says: its input's name without the extension
};

// A language as a DVD names it (ISO 639-1, "en") from the input's ISO 639-2 ("eng", "ger",
// "deu") or 639-1; empty where it has none.
std::string DvdLanguage(std::string_view code);
// The chapters' starts: "0,5:00,10:00" for a title of 12 minutes; how many they are; and on
// a joined disc's one title, the chapter each stream starts.
std::string ChapterMarks(double seconds);
int Chapters(double seconds);
std::vector<int> FirstChapters(const std::vector<DiscTitle>& titles);
// The title sets of these titles, each its titles' places: a set for each run of titles with
// the same shape and languages (one set of either shape would mark a 16:9 title 4:3), and a
// new one where a set would pass nine title VOBs of a gigabyte each, the most a set has.
inline constexpr std::int64_t kTitleSetMostBytes = 9'000'000'000;
std::vector<std::vector<int>> TitleSets(const std::vector<DiscTitle>& titles);
// The menu of no picture that takes the end of a title to title `title` (from 2): each holds
// the jumps to 40 titles, as a program chain holds at most 128 commands and a jump takes two.
inline constexpr int kDispatchesPerMenu = 40;
int DispatchMenuOf(int title);
// The disc tool's layout for these titles, written into `folder`: their title sets, and the
// menus of no picture that take each title's end to the next title; joined (`oneTitle`), one
// title of them all in the shape and with the tracks of the first, each a cell and a chapter.
// With the streams of a menu's pages, the disc opens on the first page instead, each title's
// end returns to its page, and the Menu and Title keys show the page of the title that plays.
std::string AuthoringXml(const std::vector<DiscTitle>& titles, bool pal, const std::string& folder, bool oneTitle = false,
                         const std::vector<std::string>& menuPages = {});

// The errors the disc tool gave ("ERR:  …" lines), as one text for the user; empty where it
// gave none.
std::string AuthoringError(std::string_view log);

// What a disc takes beyond its streams: the disc tool's information files, its navigation
// packs (one sector for about every half second), its menu's pages where it has one, and the
// image's own sectors.
inline constexpr std::int64_t kMenuPageBytes = 160 * 1024;  // a page's still and buttons: about 110 KB
std::int64_t DiscOverhead(int titles, std::int64_t mediaSeconds, bool menu = false);

}  // namespace disc
