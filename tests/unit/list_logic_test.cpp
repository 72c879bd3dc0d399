// The list's rules by column: clicks and the menu.
#include <gtest/gtest.h>

#include "ui/ListLogic.h"

using namespace view;
using queue::RowState;
using queue::RowStateText;

TEST(ClickBands, StrictEdgesAndStatesDecide)
{
    const int w[4] = {40, 154, 65, 156};  // edges at 40, 194, 259, 415
    struct Case {
        int x;
        RowState state;
        RowAction action;
    } cases[] = {
        {420, RowState::Pending, RowAction::Remove},
        {900, RowState::Pending, RowAction::Remove},  // right of the last column
        {415, RowState::Pending, RowAction::None},    // on the border
        {420, RowState::Done, RowAction::None},
        {420, RowState::Failed, RowAction::Remove},
        {300, RowState::Done, RowAction::OpenOutputFolder},
        {300, RowState::Pending, RowAction::None},
        {300, RowState::Failed, RowAction::None},
        {259, RowState::Done, RowAction::None},
        {100, RowState::Pending, RowAction::OpenInput},
        {100, RowState::Done, RowAction::OpenInput},
        {100, RowState::Failed, RowAction::OpenInput},
        {40, RowState::Pending, RowAction::None},
        {194, RowState::Pending, RowAction::None},
        {10, RowState::Pending, RowAction::None},
        {220, RowState::Pending, RowAction::None},
        {220, RowState::Failed, RowAction::ShowReason},
        {220, RowState::Done, RowAction::None},
        {194, RowState::Failed, RowAction::None},
        {259, RowState::Failed, RowAction::None},
    };
    for (const Case& c : cases) EXPECT_EQ(ClickAction(c.x, w, c.state), c.action) << c.x << " " << RowStateText(c.state);
    const int wider[4] = {40, 254, 65, 156};  // the bands follow a resized column
    EXPECT_EQ(ClickAction(220, wider, RowState::Pending), RowAction::OpenInput);
    EXPECT_EQ(ClickAction(220, w, RowState::Done, true), RowAction::ShowReason);  // saved under another name
}

TEST(ContextMenu, WhatEachSelectionAndTheBatchEnable)
{
    using S = RowState;
    struct Case {
        MenuFacts facts;
        const char* enabled;  // a letter an item, in the menu's order: OpenFile, Output, Why, Retry, Remove,
                              // Remove finished, Pause, resUme, Stop, When
    } cases[] = {
        {{{}, false, false, false}, ".........W"},
        {{{S::Pending}, false, false, false}, "F...R....W"},
        {{{S::Done}, false, true, false}, "FO..RD...W"},
        {{{S::Done}, true, true, false}, "FOY.RD...W"},  // saved under another name
        {{{S::Failed}, false, false, false}, "F.YTR....W"},
        {{{S::Failed, S::Pending}, false, true, false}, "...TRD...W"},
        {{{S::Done, S::Done}, false, true, false}, "....RD...W"},
        {{{S::Converting, S::Failed}, false, true, true}, "......P.SW"},  // while a batch runs
        {{{}, false, false, true}, "......P.SW"},
        {{{}, false, false, true, true}, ".......USW"},  // paused
    };
    for (const Case& c : cases) {
        const std::array<bool, kMenuItems> on = MenuEnabled(c.facts);
        std::string seen;
        for (int i = 0; i < kMenuItems; ++i) seen += on[i] ? "FOYTRDPUSW"[i] : '.';
        EXPECT_EQ(seen, c.enabled);
    }
}
