// TDiscMaker's titles as its menu and its rows see them: their order, a joined title's
// chapters, and the menu's pages made on a worker before the disc tool lays the disc out.
#include "disc/DiscMaker.h"

#include "disc/MenuMaker.h"
#include "framework/Files.h"

namespace disc {

std::vector<int> TDiscMaker::TitleOrder() const
{
    std::vector<int> order;
    for (const auto& title : titles_) order.push_back(title.first);
    return order;
}

std::vector<int> TDiscMaker::FirstChapters() const
{
    std::vector<DiscTitle> titles;
    for (const auto& title : titles_) titles.push_back(title.second);
    return disc::FirstChapters(titles);
}

void TDiscMaker::MakeMenuPages()
{
    // A folder of its own beside the disc tool's files, named for this copy.
    menu_.work = job_.workFolder + "mervane-menu-" + std::to_string(GetCurrentProcessId()) + "\\";
    CreateDirectoryW(fw::WidePath(menu_.work).c_str(), nullptr);
    MenuJob menu{.encoder = job_.encoder, .spumux = job_.spumux, .font = job_.font, .work = menu_.work, .discName = finalName_, .pal = job_.pal};
    for (const auto& [order, title] : titles_) {
        menu.titles.push_back(title);
        menu.titles.back().stream = fw::ExtendedPath(title.stream);
    }
    menu_.failure = MakeMenu(menu, menu_.pages, menu_.done, cancel_);
}

void TDiscMaker::MenuMade()
{
    menu_.making = false;
    if (!menu_.failure.empty()) return End({false, {}, {}, menu_.failure});
    imageFailure_ = Launch();  // a failure is said at the next tick
}

}  // namespace disc
