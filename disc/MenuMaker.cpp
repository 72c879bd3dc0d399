// The menu's pictures, pages, stills and buttons, one tool after another.
#include "disc/MenuMaker.h"

#include <cstdio>

#include "disc/MenuPicture.h"
#include "framework/Files.h"
#include "framework/Launcher.h"
#include "framework/errors.h"

namespace disc {

namespace {

// Runs a tool to its end, ended at once where a stop comes: empty, or why it did not finish.
std::string RunTool(const std::string& tool, const std::string& arguments, const fw::OutputFiles& files, const std::atomic<bool>& cancel)
{
    fw::StartError error;
    fw::unique_handle process = fw::StartWithoutConsole(tool, arguments, files, error, BELOW_NORMAL_PRIORITY_CLASS);
    if (!process) return tool.substr(tool.find_last_of('\\') + 1) + " could not start: " + fw::SystemErrorText(error.code);
    while (WaitForSingleObject(process.get(), 100) == WAIT_TIMEOUT) {
        if (!cancel) continue;
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 5000);
        return "stopped";
    }
    DWORD code = 1;
    GetExitCodeProcess(process.get(), &code);
    return code == 0 ? std::string() : "exit code " + std::to_string(code);
}

std::string Seconds(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", seconds);
    return text;
}

std::string Even(int value)
{
    return std::to_string(value & ~1);
}

}  // namespace

int MenuSteps(int titles)
{
    return titles + 2 * PagesFor(titles);
}

encode::TArguments PicturesArguments(const std::vector<MenuPicture>& pictures, const MenuBox& box)
{
    const std::string w = std::to_string(box.Width()), h = std::to_string(box.Height());
    encode::TArguments args;
    args.Add({"-hide_banner", "-y"});
    for (const MenuPicture& picture : pictures) args.Add({"-ss", Seconds(picture.seconds / 10), "-i"}).AddPath(picture.stream);
    for (std::size_t n = 0; n < pictures.size(); ++n) {
        const std::string fit = pictures[n].wide ? "scale=" + w + ":" + Even(box.Height() * 3 / 4) + ",pad=" + w + ":" + h + ":0:(oh-ih)/2"
                                                 : "scale=" + w + ":" + h;
        args.Add({"-map", std::to_string(n) + ":v:0", "-frames:v", "1", "-vf", fit, "-f", "image2", "-c:v", "bmp"}).AddPath(pictures[n].bmp);
    }
    return args;
}

encode::TArguments StillsArguments(const std::vector<std::string>& pages, bool pal, const std::vector<std::string>& stills)
{
    encode::TArguments args;
    args.Add({"-hide_banner", "-y"});
    for (const std::string& page : pages) args.Add({"-loop", "1", "-framerate", pal ? "25" : "30000/1001", "-i"}).AddPath(page);
    args.Add({"-f", "lavfi", "-i", "anullsrc=r=48000:cl=stereo"});
    for (std::size_t n = 0; n < stills.size(); ++n)
        args.Add({"-map", std::to_string(n) + ":v:0", "-map", std::to_string(pages.size()) + ":a:0", "-t", pal ? "0.6" : "0.6006", "-target",
                  pal ? "pal-dvd" : "ntsc-dvd", "-aspect", "4:3"})
            .AddPath(stills[n]);
    return args;
}

std::string SpumuxXml(const MenuPage& page, const std::string& highlight, const std::string& chosen)
{
    std::string xml = std::string("<subpictures format=\"") + (page.height == 576 ? "PAL" : "NTSC") +
                      "\">\n <stream>\n  <spu force=\"yes\" start=\"00:00:00.00\" highlight=\"" + highlight + "\" select=\"" + chosen + "\">\n";
    auto name = [](int n) { return "\"b" + std::to_string(n) + "\""; };
    for (std::size_t n = 0; n < page.buttons.size(); ++n) {
        const MenuButton& b = page.buttons[n];
        xml += "   <button name=" + name(static_cast<int>(n) + 1) + " x0=\"" + std::to_string(b.box.left) + "\" y0=\"" + std::to_string(b.box.top) +
               "\" x1=\"" + std::to_string(b.box.right - 1) + "\" y1=\"" + std::to_string(b.box.bottom - 1) + "\" up=" + name(b.up) +
               " down=" + name(b.down) + " left=" + name(b.left) + " right=" + name(b.right) + "/>\n";
    }
    return xml + "  </spu>\n </stream>\n</subpictures>\n";
}

namespace {

// The titles' pictures, the size of their box on any page, a group of them at a time, and what
// their buttons say; a title whose picture fails is shown without it. False where stopped.
bool TakePictures(const MenuJob& job, MenuTexts& texts, std::atomic<int>& done, const std::atomic<bool>& cancel)
{
    const int titles = static_cast<int>(job.titles.size());
    const MenuPage first = MenuPageOf(1, titles, job.pal);
    std::vector<MenuPicture> group;
    for (int i = 0; i < titles; ++i) {
        const DiscTitle& title = job.titles[static_cast<std::size_t>(i)];
        group.push_back({title.stream, title.seconds, title.wide, job.work + "title" + std::to_string(i + 1) + ".bmp"});
        texts.pictures.push_back(group.back().bmp), texts.names.push_back(title.name), texts.seconds.push_back(title.seconds);
        if (static_cast<int>(group.size()) < kPicturesPerRun && i + 1 < titles) continue;
        if (RunTool(job.encoder, PicturesArguments(group, PartsOf(first, first.buttons.front()).picture).Line(), {job.work + "tool.log", true}, cancel) ==
            "stopped")
            return false;
        done += static_cast<int>(group.size());
        group.clear();
    }
    return true;
}

// A page drawn with its highlight, and what spumux is told of it: empty, or why it could not.
std::string DrawPage(const MenuJob& job, const MenuTexts& texts, int number, const std::string& base)
{
    const MenuPage page = MenuPageOf(number, static_cast<int>(job.titles.size()), job.pal);
    std::string why = DrawMenuPage(page, texts, job.font, base + ".bmp");
    if (why.empty()) why = DrawHighlight(page, kMenuHighlight, base + "-highlight.png");
    if (why.empty()) why = DrawHighlight(page, kMenuChosen, base + "-chosen.png");
    const std::string xml = SpumuxXml(page, fw::PathForOldProgram(base + "-highlight.png"), fw::PathForOldProgram(base + "-chosen.png"));
    if (why.empty() && !fw::WriteWholeFile(base + ".xml", xml)) why = fw::SystemErrorText(GetLastError());
    return why;
}

}  // namespace

std::string MakeMenu(const MenuJob& job, std::vector<std::string>& pages, std::atomic<int>& done, const std::atomic<bool>& cancel)
{
    const int count = PagesFor(static_cast<int>(job.titles.size()));
    const std::string log = job.work + "tool.log";
    MenuTexts texts{.discName = job.discName};
    if (!TakePictures(job, texts, done, cancel)) return "stopped";
    // The pages drawn, made stills in one run, and given their buttons one by one.
    std::vector<std::string> drawn, stills;
    for (int number = 1; number <= count; ++number) {
        const std::string base = job.work + "page" + std::to_string(number);
        if (const std::string why = DrawPage(job, texts, number, base); !why.empty()) return "its menu could not be made: " + why;
        drawn.push_back(base + ".bmp"), stills.push_back(base + "-still.mpg");
    }
    if (const std::string why = RunTool(job.encoder, StillsArguments(drawn, job.pal, stills).Line(), {log, true}, cancel); !why.empty())
        return "its menu could not be made: " + why;
    done += count;
    for (int number = 1; number <= count; ++number) {
        const std::string base = job.work + "page" + std::to_string(number);
        if (const std::string why = RunTool(job.spumux, encode::TArguments().Add({"-m", "dvd", "-s", "0"}).AddPath(fw::PathForOldProgram(base + ".xml")).Line(),
                                            {.output = base + ".mpg", .input = base + "-still.mpg", .errors = log}, cancel);
            !why.empty()) {
            const std::string said = AuthoringError(fw::ReadWholeFile(log, 1 << 20).value_or(""));
            return "its menu's buttons could not be made: " + (said.empty() ? why : said);
        }
        pages.push_back(base + ".mpg");
        ++done;
    }
    return {};
}

}  // namespace disc
