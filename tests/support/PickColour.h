// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
#include "ColourPicker.h"

#include <QTest>
#include <gtest/gtest.h>

// The Automatic box above a colour picker's grid, in place of a cell's index.
constexpr int kAutomaticColour = -1;

// Opens the picker's grid and taps a cell of it, or its Automatic box, as a learner does.
inline void PickColour(CColourPicker* picker, int cell)
{
    QTest::mouseClick(picker, Qt::LeftButton);
    auto& grid = const_cast<CColourGrid&>(picker->GetGrid());
    ASSERT_TRUE(grid.IsOpen());
    QTest::mouseClick(&grid, Qt::LeftButton, {},
                      (cell == kAutomaticColour ? grid.GetTopBox() : grid.GetCellRect(cell)).center());
}
