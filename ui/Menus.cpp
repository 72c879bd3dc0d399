// The window's two menus, the list's and the convert button's: one list of choices builds
// both, and a command from either changes the session's choices.
#include "ui/Menus.h"

#include <string>
#include <vector>

#include "framework/Unicode.h"
#include "ui/Choices.h"

namespace {

// A menu of choices numbered from `base`, the chosen one marked (none for -1); like the
// queue, the choices take no change during a batch.
HMENU ChoiceMenu(const std::vector<std::wstring>& texts, UINT base, int chosen, bool enabled)
{
    HMENU menu = CreatePopupMenu();
    for (UINT i = 0; i < texts.size(); ++i) AppendMenuW(menu, MF_STRING | (enabled ? 0 : MF_GRAYED), base + i, texts[i].c_str());
    if (chosen >= 0)
        CheckMenuRadioItem(menu, base, base + static_cast<UINT>(texts.size()) - 1, base + static_cast<UINT>(chosen), MF_BYCOMMAND);
    return menu;
}

HMENU TargetMenu(encode::Target chosen, bool enabled)
{
    std::vector<std::wstring> texts;
    for (encode::Target target : encode::kTargets) texts.push_back(fw::Wide(encode::TargetMenuText(target)));
    return ChoiceMenu(texts, kTargetBase, static_cast<int>(chosen), enabled);
}

HMENU QualityMenu(encode::Quality chosen, bool enabled)
{
    return ChoiceMenu(view::kQualityChoices, kQualityBase, static_cast<int>(chosen), enabled);
}

// The sizes a batch is fitted to, then "Other size…", which a number of megabytes marks.
HMENU FitMenu(const encode::FitTo& chosen, bool enabled)
{
    const int choice = view::FitChoice(chosen);
    std::vector<std::wstring> texts = view::kFitChoices;
    texts.push_back(choice == view::kFitOther ? L"&Other size (" + fw::Wide(encode::FitLabel(chosen)) + L")…" : L"&Other size…");
    return ChoiceMenu(texts, kFitBase, choice, enabled);
}

// "Make ▸ Files / DVD-Video disc": for the DVD targets only.
HMENU DiscMenu(const batch::Choices& chosen, bool enabled)
{
    const bool dvd = chosen.target == encode::Target::DvdPal || chosen.target == encode::Target::DvdNtsc;
    return ChoiceMenu(view::kDiscChoices, kDiscBase, static_cast<int>(chosen.disc), enabled && dvd);
}

HMENU IfExistsMenu(encode::IfExists chosen, bool enabled)
{
    return ChoiceMenu(view::kIfExistsChoices, kIfExistsBase, static_cast<int>(chosen), enabled);
}

}  // namespace

fw::unique_hmenu BuildListMenu(const std::array<bool, view::kMenuItems>& enabled, const app::TSession& session, bool canSleep)
{
    const app::AfterBatch chosen = session.WhenBatchEnds();
    const wchar_t* texts[view::kMenuItems] = {L"&Open file", L"Open output &folder", L"&Why it failed", L"&Retry",
                                               L"Re&move", L"Remove &finished rows", L"&Pause converting",
                                               L"Resume con&verting", L"&Stop converting…", L"When the batch &ends"};
    fw::unique_hmenu menu(CreatePopupMenu());
    HMENU when = CreatePopupMenu();  // owned by the menu once appended
    std::vector<std::wstring> choices = view::kWhenBatchEndsChoices;
    if (!canSleep) choices[1] = L"Sleep (this computer cannot sleep)";
    for (UINT i = 0; i < choices.size(); ++i)
        AppendMenuW(when, MF_STRING | (i == 1 && !canSleep ? MF_GRAYED : 0), kWhenBase + i, choices[i].c_str());
    CheckMenuRadioItem(when, kWhenBase, kWhenBase + 3, kWhenBase + static_cast<UINT>(chosen), MF_BYCOMMAND);
    for (int i = 0; i < view::kMenuItems; ++i) {
        const UINT state = enabled[static_cast<std::size_t>(i)] ? MF_ENABLED : MF_GRAYED;
        const auto item = static_cast<view::MenuItem>(i);
        if (item == view::MenuItem::PauseConverting || item == view::MenuItem::WhenBatchEnds)
            AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
        if (item == view::MenuItem::WhenBatchEnds)
            AppendMenuW(menu.get(), MF_POPUP | state, reinterpret_cast<UINT_PTR>(when), texts[i]);
        else
            AppendMenuW(menu.get(), MF_STRING | state, kItemBase + i, texts[i]);
    }
    const batch::Choices& chosenNow = session.Choices();
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(TargetMenu(chosenNow.target, !session.Busy())), L"&Convert to");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(QualityMenu(chosenNow.quality, !session.Busy())), L"&Quality");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(FitMenu(chosenNow.fitTo, !session.Busy())), L"Fit &to");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(IfExistsMenu(chosenNow.ifExists, !session.Busy())),
                L"If the file e&xists");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kOptions, L"O&ptions…\tCtrl+,");
    AppendMenuW(menu.get(), MF_STRING, kAbout, L"&About Mervane…");
    return menu;
}

// The targets, then the quality, the size to fit and what a DVD batch makes.
fw::unique_hmenu BuildConvertMenu(const app::TSession& session)
{
    const batch::Choices& chosen = session.Choices();
    fw::unique_hmenu menu(TargetMenu(chosen.target, !session.Busy()));
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(QualityMenu(chosen.quality, !session.Busy())), L"&Quality");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(FitMenu(chosen.fitTo, !session.Busy())), L"Fit &to");
    AppendMenuW(menu.get(), MF_POPUP, reinterpret_cast<UINT_PTR>(DiscMenu(chosen, !session.Busy())), L"Ma&ke");
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu.get(), MF_STRING, kOptions, L"O&ptions…\tCtrl+,");
    AppendMenuW(menu.get(), MF_STRING, kAbout, L"&About Mervane…");
    return menu;
}

bool TakeChoice(app::TSession& session, UINT command)
{
    if (command == kOptions || command == kFitOther || command == kAbout) return false;  // the window's own
    batch::Choices choices = session.Choices();
    if (command >= kDiscBase)
        choices.disc = static_cast<disc::Disc>(command - kDiscBase);
    else if (command >= kFitBase)
        choices.fitTo = view::FixedFit(static_cast<int>(command - kFitBase));
    else if (command >= kQualityBase)
        choices.quality = static_cast<encode::Quality>(command - kQualityBase);
    else if (command >= kIfExistsBase)
        choices.ifExists = static_cast<encode::IfExists>(command - kIfExistsBase);
    else if (command >= kTargetBase)
        choices.target = static_cast<encode::Target>(command - kTargetBase);
    else
        return false;
    session.Choose(choices);
    return true;
}

