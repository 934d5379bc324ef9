// SPDX-License-Identifier: GPL-2.0-or-later
#include "ColourMessages.h"
#include "ColourPicker.h"
#include "DialogBuilder.h"
#include "MessageLog.h"
#include "SystemLook.h"

#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kPickerId = 1027;
constexpr COLORREF kBlue = 0xFF0000;
// The colour box of an adjusted 36 x 20 picker.
constexpr QRect kBox(4, 4, 12, 12);

QRgb Sys(int index)
{
    return SystemLook::GetSysColor(index).rgb();
}

bool RegionHasColour(const QImage& image, const QRect& region, QRgb colour)
{
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            if (image.pixel(x, y) == colour)
                return true;
        }
    }
    return false;
}

class ColourPickerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
        dialog.setGeometry(available.left() + 10, available.top() + 10, 175, 193);
        picker = new CColourPicker(&dialog);
        picker->SetDlgCtrlID(kPickerId);
        picker->setGeometry(DialogBuilder::ToPixels(QRect(16, 71, 16, 12)));
        picker->SetColour(kBlue);
        picker->SetAutoText(QStringLiteral("Auto"));
        dialog.show();
        dialog.messages.clear();
    }

    CColourGrid& Grid() { return const_cast<CColourGrid&>(picker->GetGrid()); }
    QImage Picture() { return picker->grab().toImage(); }

    MessageLog dialog;
    CColourPicker* picker = nullptr;
};

TEST_F(ColourPickerTest, ClickDropsTheGridBelowChoosingACellReportsEachStepAndASecondClickCancels)
{
    picker->click();
    EXPECT_TRUE(picker->IsOpen());
    ASSERT_TRUE(Grid().IsOpen());
    EXPECT_EQ(Grid().GetWindowRect().topLeft(), picker->mapToGlobal(QPoint(0, picker->height())));
    EXPECT_EQ(Grid().GetChosenIndex(), 13);
    QTest::mouseClick(&Grid(), Qt::LeftButton, {}, Grid().GetCellRect(20).center());
    const COLORREF chosen = TableColour(20);
    EXPECT_EQ(dialog.messages, (std::vector<LoggedMessage>{{WM_COLOUR_DROPDOWN, kBlue, kPickerId},
                                                           {WM_COLOUR_SELCHANGE, chosen, kPickerId},
                                                           {WM_COLOUR_CLOSEUP, chosen, kPickerId},
                                                           {WM_COLOUR_SELOK, chosen, kPickerId}}));
    EXPECT_EQ(picker->GetColour(), chosen);
    EXPECT_FALSE(picker->IsOpen());
    EXPECT_FALSE(Grid().IsOpen());

    // A second click on the picker cancels back to the colour it had on opening.
    picker->click();
    QTest::mousePress(&Grid(), Qt::LeftButton, {}, Grid().GetCellRect(9).center());
    dialog.messages.clear();
    picker->click();
    EXPECT_EQ(dialog.messages,
              (std::vector<LoggedMessage>{{WM_COLOUR_CLOSEUP, chosen, kPickerId}, {WM_COLOUR_SELCANCEL, chosen, kPickerId}}));
    EXPECT_FALSE(Grid().IsOpen());
    EXPECT_FALSE(picker->IsOpen());
    EXPECT_EQ(picker->GetColour(), chosen);
}

TEST_F(ColourPickerTest, FaceShowsTheColourThePushedStateAndTheDisabledState)
{
    // Raised, the arrow's outer edge is light at its top-left; pushed, it is a flat shadow.
    const QPoint arrowCorner = picker->GetArrowRect().topLeft();
    EXPECT_EQ(Picture().pixel(arrowCorner), Sys(SystemLook::COLOR_3DLIGHT));
    picker->click();
    EXPECT_EQ(Picture().pixel(arrowCorner), Sys(SystemLook::COLOR_BTNSHADOW));

    // The automatic colour shows the button face.
    QTest::mouseClick(&Grid(), Qt::LeftButton, {}, Grid().GetTopBox().center());
    EXPECT_EQ(picker->GetColour(), CLR_DEFAULT);
    EXPECT_EQ(dialog.Last(), (LoggedMessage{WM_COLOUR_SELOK, CLR_DEFAULT, kPickerId}));
    EXPECT_EQ(Picture().pixel(arrowCorner), Sys(SystemLook::COLOR_3DLIGHT));
    EXPECT_EQ(Picture().pixel(kBox.center()), Sys(SystemLook::COLOR_BTNFACE));

    // Disabled: an inactive arrow, a plain box whatever the colour, an embossed caption.
    picker->SetColour(0x0000FF);
    picker->setText(QStringLiteral("Ab"));
    QFont font = picker->font();
    font.setPixelSize(10);
    font.setStyleStrategy(QFont::NoAntialias);
    picker->setFont(font);
    const QRect arrow = picker->GetArrowRect().adjusted(2, 2, -2, -2);
    const QImage enabled = Picture();
    EXPECT_TRUE(RegionHasColour(enabled, arrow, Sys(SystemLook::COLOR_BTNTEXT)));
    EXPECT_EQ(enabled.pixel(kBox.center()), QColor(Qt::red).rgb());

    picker->setEnabled(false);
    const QImage disabled = Picture();
    EXPECT_FALSE(RegionHasColour(disabled, arrow, Sys(SystemLook::COLOR_BTNTEXT)));
    EXPECT_TRUE(RegionHasColour(disabled, arrow, Sys(SystemLook::COLOR_BTNSHADOW)));
    EXPECT_FALSE(RegionHasColour(disabled, kBox, QColor(Qt::red).rgb()));
    EXPECT_TRUE(RegionHasColour(disabled, kBox, Sys(SystemLook::COLOR_BTNSHADOW)));
    EXPECT_TRUE(RegionHasColour(disabled, kBox, Sys(SystemLook::COLOR_BTNHIGHLIGHT)));
}

TEST_F(ColourPickerTest, WithoutAParentTheColourStillChanges)
{
    CColourPicker orphan;
    orphan.setGeometry(40, 40, 36, 20);
    orphan.show();
    orphan.click();
    auto& grid = const_cast<CColourGrid&>(orphan.GetGrid());
    QTest::mouseClick(&grid, Qt::LeftButton, {}, grid.GetCellRect(26).center());
    EXPECT_EQ(orphan.GetColour(), TableColour(26));
    EXPECT_TRUE(dialog.messages.empty());
}

TEST_F(ColourPickerTest, AParentThatClosesOnCloseUpGetsNoMore)
{
    dialog.onMessage = [this](UINT message) {
        if (message == WM_COLOUR_CLOSEUP) {
            delete picker;
            picker = nullptr;
        }
    };
    picker->click();
    QTest::keyClick(&Grid(), Qt::Key_Return);
    EXPECT_EQ(picker, nullptr);
    EXPECT_EQ(dialog.Last().message, WM_COLOUR_CLOSEUP);
}

} // namespace
