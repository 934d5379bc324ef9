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
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kBlue = 0xFF0000;

COLORREF TableColour(int index)
{
    return CColourGrid::kColourTable[index].colour;
}

QColor SysColour(int index)
{
    return SystemLook::GetSysColor(index);
}

bool RegionHasColour(const QImage& image, const QRect& region, const QColor& colour)
{
    for (int y = region.top(); y <= region.bottom(); ++y) {
        for (int x = region.left(); x <= region.right(); ++x) {
            if (image.pixel(x, y) == colour.rgb())
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
    void TapCell(int index)
    {
        QTest::mouseClick(&Grid(), Qt::LeftButton, {}, Grid().GetCellRect(index).center());
    }
    QImage Picture() { return picker->grab().toImage(); }
    // The colour box of an adjusted 36 x 20 picker.
    QRect BoxOf() const { return QRect(4, 4, 12, 12); }

    MessageLog dialog;
    CColourPicker* picker = nullptr;
};

TEST_F(ColourPickerTest, ShownPickerFitsItsArrowKeepingItsCornerAndAWiderWidth)
{
    // 16 x 12 dialog units are 28 x 21 pixels.
    EXPECT_EQ(picker->geometry(), QRect(28, 124, 36, 20));
    EXPECT_EQ(picker->GetArrowRect(), QRect(18, 2, 16, 16));

    CColourPicker wide(&dialog);
    wide.setGeometry(5, 6, 80, 40);
    wide.PreSubclassWindow();
    EXPECT_EQ(wide.geometry(), QRect(5, 6, 80, 20));
    EXPECT_EQ(wide.GetArrowRect(), QRect(62, 2, 16, 16));
}

TEST_F(ColourPickerTest, ClickDropsTheGridBelowAndChoosingACellReportsEachStep)
{
    picker->click();
    EXPECT_TRUE(picker->IsOpen());
    ASSERT_TRUE(picker->GetGrid().IsOpen());
    EXPECT_EQ(picker->GetGrid().GetWindowRect().topLeft(), picker->mapToGlobal(QPoint(0, picker->height())));
    EXPECT_EQ(picker->GetGrid().GetChosenIndex(), 13);
    EXPECT_FALSE(picker->GetGrid().GetTopBox().isEmpty());

    TapCell(20);
    const std::vector<LoggedMessage> expected = {
        {WM_COLOUR_DROPDOWN, kBlue, kPickerId},
        {WM_COLOUR_SELCHANGE, TableColour(20), kPickerId},
        {WM_COLOUR_CLOSEUP, TableColour(20), kPickerId},
        {WM_COLOUR_SELOK, TableColour(20), kPickerId},
    };
    EXPECT_EQ(dialog.messages, expected);
    EXPECT_EQ(picker->GetColour(), TableColour(20));
    EXPECT_FALSE(picker->IsOpen());
    EXPECT_FALSE(picker->GetGrid().IsOpen());
}

TEST_F(ColourPickerTest, SecondClickCancelsToTheColourBeforeOpening)
{
    picker->click();
    QTest::mousePress(&Grid(), Qt::LeftButton, {}, Grid().GetCellRect(9).center());
    dialog.messages.clear();
    picker->click();
    const std::vector<LoggedMessage> expected = {
        {WM_COLOUR_CLOSEUP, kBlue, kPickerId},
        {WM_COLOUR_SELCANCEL, kBlue, kPickerId},
    };
    EXPECT_EQ(dialog.messages, expected);
    EXPECT_FALSE(picker->GetGrid().IsOpen());
    EXPECT_FALSE(picker->IsOpen());
    EXPECT_EQ(picker->GetColour(), kBlue);
}

TEST_F(ColourPickerTest, FaceShowsTheColourThePushedStateAndTheDisabledState)
{
    // Raised, the arrow's outer edge is light at its top-left; pushed, it is a flat shadow.
    const QPoint arrowCorner = picker->GetArrowRect().topLeft();
    EXPECT_EQ(Picture().pixel(arrowCorner), SysColour(SystemLook::COLOR_3DLIGHT).rgb());
    picker->click();
    EXPECT_EQ(Picture().pixel(arrowCorner), SysColour(SystemLook::COLOR_BTNSHADOW).rgb());

    // The automatic colour shows the button face.
    QTest::mouseClick(&Grid(), Qt::LeftButton, {}, Grid().GetTopBox().center());
    EXPECT_EQ(picker->GetColour(), CLR_DEFAULT);
    EXPECT_EQ(dialog.Last(), (LoggedMessage{WM_COLOUR_SELOK, CLR_DEFAULT, kPickerId}));
    EXPECT_EQ(Picture().pixel(arrowCorner), SysColour(SystemLook::COLOR_3DLIGHT).rgb());
    EXPECT_EQ(Picture().pixel(BoxOf().center()), SysColour(SystemLook::COLOR_BTNFACE).rgb());

    // Disabled: an inactive arrow, a plain box whatever the colour, an embossed caption.
    picker->SetColour(kRed);
    picker->setText(QStringLiteral("Ab"));
    QFont font = picker->font();
    font.setPixelSize(10);
    font.setStyleStrategy(QFont::NoAntialias);
    picker->setFont(font);
    const QRect arrow = picker->GetArrowRect().adjusted(2, 2, -2, -2);
    const QImage enabled = Picture();
    EXPECT_TRUE(RegionHasColour(enabled, arrow, SysColour(SystemLook::COLOR_BTNTEXT)));
    EXPECT_EQ(enabled.pixel(BoxOf().center()), QColor(Qt::red).rgb());

    picker->setEnabled(false);
    const QImage disabled = Picture();
    EXPECT_FALSE(RegionHasColour(disabled, arrow, SysColour(SystemLook::COLOR_BTNTEXT)));
    EXPECT_TRUE(RegionHasColour(disabled, arrow, SysColour(SystemLook::COLOR_BTNSHADOW)));
    EXPECT_FALSE(RegionHasColour(disabled, BoxOf(), QColor(Qt::red)));
    EXPECT_TRUE(RegionHasColour(disabled, BoxOf(), SysColour(SystemLook::COLOR_BTNSHADOW)));
    EXPECT_TRUE(RegionHasColour(disabled, BoxOf(), SysColour(SystemLook::COLOR_BTNHIGHLIGHT)));
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
