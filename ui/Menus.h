// The window's two menus, the list's and the convert button's, and their commands.
#pragma once
#include <windows.h>

#include <array>

#include "app/Session.h"
#include "framework/handles.h"
#include "ui/Choices.h"
#include "ui/ListLogic.h"

constexpr UINT kItemBase = 1, kWhenBase = 100, kTargetBase = 200, kIfExistsBase = 300, kQualityBase = 400, kFitBase = 500,
               kOptions = 600, kAbout = 601, kDiscBase = 700;
constexpr UINT kFitOther = kFitBase + view::kFitOther;  // "Fit to ▸ Other size…"

// The list's context menu: the items, "When the batch ends" with its choices, and the
// target, the quality, the size to fit and the existing-file choice.
fw::unique_hmenu BuildListMenu(const std::array<bool, view::kMenuItems>& enabled, const app::TSession& session, bool canSleep);
fw::unique_hmenu BuildConvertMenu(const app::TSession& session);
// A choice of the target, the quality, the size to fit or the existing-file rule, from
// either menu, taken; false for any other command.
bool TakeChoice(app::TSession& session, UINT command);
