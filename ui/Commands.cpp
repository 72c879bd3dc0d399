// The window's commands: the choices' table, and the menus built from it.
#include "ui/Commands.h"

#include <string>
#include <vector>

#include "framework/Unicode.h"
#include "resources/dialogs.h"
#include "ui/Choices.h"

namespace view {

namespace {

std::vector<std::wstring> TargetTexts()
{
    std::vector<std::wstring> texts;
    for (encode::Target target : encode::kTargets) texts.push_back(fw::Wide(encode::TargetMenuText(target)));
    return texts;
}

bool Always(const batch::Choices&)
{
    return true;
}

}  // namespace

const std::vector<ChoiceGroup>& ChoiceGroups()
{
    using batch::Choices;
    static const std::vector<ChoiceGroup> groups{
        {nullptr, IDC_TARGET, TargetTexts(), [](const Choices& c) { return static_cast<int>(c.target); },
         [](Choices& c, int place) { c.target = static_cast<encode::Target>(place); }, &Always},
        {L"&Quality", IDC_QUALITY, kQualityChoices, [](const Choices& c) { return static_cast<int>(c.quality); },
         [](Choices& c, int place) { c.quality = static_cast<encode::Quality>(place); }, &Always},
        // The fixed sizes; "Other size", a number of megabytes, is none of them.
        {L"Fit &to", IDC_FIT, kFitChoices,
         [](const Choices& c) { return FitChoice(c.fitTo) < kFitOther ? FitChoice(c.fitTo) : -1; },
         [](Choices& c, int place) { c.fitTo = FixedFit(place); }, &Always},
        {L"Ma&ke", IDC_DISC, kDiscChoices, [](const Choices& c) { return static_cast<int>(c.disc); },
         [](Choices& c, int place) { c.disc = static_cast<disc::Disc>(place); },
         [](const Choices& c) { return c.target == encode::Target::DvdPal || c.target == encode::Target::DvdNtsc; }},
        {L"If the file e&xists", IDC_IF_EXISTS, kIfExistsChoices, [](const Choices& c) { return static_cast<int>(c.ifExists); },
         [](Choices& c, int place) { c.ifExists = static_cast<encode::IfExists>(place); }, &Always},
        {nullptr, IDC_LOUDNESS, kLoudnessChoices, [](const Choices& c) { return static_cast<int>(c.loudness); },
         [](Choices& c, int place) { c.loudness = static_cast<encode::Loudness>(place); }, &Always},
        {nullptr, IDC_FILL, kFillChoices, [](const Choices& c) { return static_cast<int>(c.fill); },
         [](Choices& c, int place) { c.fill = static_cast<encode::Fill>(place); }, &Always},
        {nullptr, IDC_DISC_MENU, kDiscMenuChoices, [](const Choices& c) { return static_cast<int>(c.discMenu); },
         [](Choices& c, int place) { c.discMenu = static_cast<disc::DiscMenu>(place); },
         [](const Choices& c) { return disc::MakesDisc(c.disc, c.target); }},
    };
    return groups;
}

const ChoiceGroup& GroupOf(Group group)
{
    return ChoiceGroups()[static_cast<std::size_t>(group)];
}

}  // namespace view

UINT TCommands::Append(HMENU menu, const std::wstring& text, UINT state, std::function<void()> action)
{
    actions_.push_back(std::move(action));
    const UINT id = static_cast<UINT>(actions_.size());
    AppendMenuW(menu, MF_STRING | (state & ~kTicked) | (state & kTicked ? MF_CHECKED : 0), id, text.c_str());
    if (state & kChosen) CheckMenuRadioItem(menu, id, id, id, MF_BYCOMMAND);  // a choice's bullet, not a tick
    return id;
}

void TCommands::AppendGroup(HMENU menu, const view::ChoiceGroup& group, app::TSession& session)
{
    const batch::Choices& chosen = session.Settings().Choices();
    const UINT greyed = session.Busy() || !group.applies(chosen) ? kGreyed : kNormal;
    HMENU choices = group.menuTitle ? CreatePopupMenu() : menu;  // owned by the menu once appended
    for (int place = 0; place < static_cast<int>(group.texts.size()); ++place)
        Append(choices, group.texts[static_cast<std::size_t>(place)], greyed | (place == group.chosen(chosen) ? kChosen : kNormal),
               [&group, &session, place] {
                   batch::Choices choices = session.Settings().Choices();
                   group.take(choices, place);
                   session.Choose(choices);
               });
    if (group.menuTitle) AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(choices), group.menuTitle);
}

void TCommands::Track(HMENU menu, HWND owner, POINT screen) const
{
    const UINT id = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, owner, nullptr);
    if (id >= 1 && id <= actions_.size()) actions_[id - 1]();
}

namespace {

// "Fit to ▸": the fixed sizes, then "Other size…", which a number of megabytes marks.
void AppendFit(TCommands& commands, HMENU menu, app::TSession& session, const WindowCommands& window)
{
    commands.AppendGroup(menu, view::GroupOf(view::Group::FitTo), session);
    HMENU fit = GetSubMenu(menu, GetMenuItemCount(menu) - 1);
    const encode::FitTo& chosen = session.Settings().Choices().fitTo;
    const bool other = view::FitChoice(chosen) == view::kFitOther;
    commands.Append(fit, other ? L"&Other size (" + fw::Wide(encode::FitLabel(chosen)) + L")…" : L"&Other size…",
                    (session.Busy() ? TCommands::kGreyed : 0) | (other ? TCommands::kChosen : 0), [&window] { window.options(true); });
}

void AppendWindowCommands(TCommands& commands, HMENU menu, const WindowCommands& window)
{
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    commands.Append(menu, L"O&ptions…\tCtrl+,", TCommands::kNormal, [&window] { window.options(false); });
    commands.Append(menu, L"&About Mervane…", TCommands::kNormal, window.about);
}

}  // namespace

fw::unique_hmenu BuildListMenu(TCommands& commands, const std::array<bool, view::kMenuItems>& enabled,
                               const std::array<std::function<void()>, view::kMenuItems>& items, app::TSession& session,
                               bool canSleep, const WindowCommands& window)
{
    const wchar_t* texts[view::kMenuItems] = {L"&Open file", L"Open output &folder", L"&Why it failed", L"&Retry",
                                               L"Re&move", L"Remove &finished rows", L"&Pause converting",
                                               L"Resume con&verting", L"&Stop converting…", L"When the batch &ends"};
    fw::unique_hmenu menu(CreatePopupMenu());
    HMENU when = CreatePopupMenu();  // owned by the menu once appended
    for (int i = 0; i < static_cast<int>(view::kWhenBatchEndsChoices.size()); ++i) {
        const auto choice = static_cast<app::AfterBatch>(i);
        const bool sleep = choice == app::AfterBatch::Sleep;
        commands.Append(when, sleep && !canSleep ? L"Sleep (this computer cannot sleep)" : view::kWhenBatchEndsChoices[i],
                        (sleep && !canSleep ? TCommands::kGreyed : 0) | (session.WhenBatchEnds() == choice ? TCommands::kChosen : 0),
                        [&session, choice] { session.WhenBatchEnds() = choice; });
    }
    for (int i = 0; i < view::kMenuItems; ++i) {
        const UINT state = enabled[static_cast<std::size_t>(i)] ? TCommands::kNormal : TCommands::kGreyed;
        const auto item = static_cast<view::MenuItem>(i);
        if (item == view::MenuItem::PauseConverting || item == view::MenuItem::WhenBatchEnds)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        if (item == view::MenuItem::WhenBatchEnds)
            AppendMenuW(menu.get(), MF_POPUP | state, reinterpret_cast<UINT_PTR>(when), texts[i]);
        else
            commands.Append(menu.get(), texts[i], state, items[static_cast<std::size_t>(i)]);
    }
    HMENU targets = CreatePopupMenu();
    commands.AppendGroup(targets, view::GroupOf(view::Group::Target), session);
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(targets), L"&Convert to");
    commands.AppendGroup(menu.get(), view::GroupOf(view::Group::Quality), session);
    AppendFit(commands, menu.get(), session, window);
    commands.AppendGroup(menu.get(), view::GroupOf(view::Group::IfExists), session);
    AppendWindowCommands(commands, menu.get(), window);
    return menu;
}

fw::unique_hmenu BuildConvertMenu(TCommands& commands, app::TSession& session, const WindowCommands& window)
{
    fw::unique_hmenu menu(CreatePopupMenu());
    commands.AppendGroup(menu.get(), view::GroupOf(view::Group::Target), session);
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    commands.AppendGroup(menu.get(), view::GroupOf(view::Group::Quality), session);
    AppendFit(commands, menu.get(), session, window);
    commands.AppendGroup(menu.get(), view::GroupOf(view::Group::Disc), session);
    // "Make ▸" ends with whether a disc opens on a menu of its titles.
    HMENU make = GetSubMenu(menu.get(), GetMenuItemCount(menu.get()) - 1);
    batch::Choices choices = session.Settings().Choices();
    AppendMenuW(make, MF_SEPARATOR, 0, nullptr);
    const bool disc = disc::MakesDisc(choices.disc, choices.target);
    commands.Append(make, L"With a &menu of its titles",
                    (session.Busy() || !disc ? TCommands::kGreyed : 0) | (choices.discMenu == disc::DiscMenu::Titles ? TCommands::kTicked : 0),
                    [&session, choices]() mutable {
                        choices.discMenu = choices.discMenu == disc::DiscMenu::Titles ? disc::DiscMenu::None : disc::DiscMenu::Titles;
                        session.Choose(choices);
                    });
    commands.Append(menu.get(), L"&Join the files into one", (session.Busy() ? TCommands::kGreyed : 0) | (choices.join ? TCommands::kTicked : 0),
                    [&session, choices]() mutable { choices.join = !choices.join, session.Choose(choices); });
    AppendWindowCommands(commands, menu.get(), window);
    return menu;
}
