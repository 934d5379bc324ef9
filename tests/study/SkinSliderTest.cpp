// SPDX-License-Identifier: GPL-2.0-or-later
#include "SkinSlider.h"

#include "WaitFor.h"

#include "ResourceModule.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <array>
#include <vector>

namespace {

constexpr COLORREF kSeekBackground = 0x993125;
constexpr int kMissingBitmap = 9999;
using Notices = std::vector<std::array<int, 3>>;

// A parent that keeps every scroll notice of its slider: its code, the position it
// carries, and the slider's position when it came.
class ScrollLog : public QWidget
{
public:
    Notices notices;
    CSkinSlider* slider = nullptr;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != WindowMessageEvent::EventType())
            return QWidget::event(event);
        auto* message = static_cast<WindowMessageEvent*>(event);
        EXPECT_EQ(message->message, WM_HSCROLL);
        EXPECT_EQ(message->lParam, LPARAM(static_cast<QWidget*>(slider)));
        notices.push_back({LOWORD(message->wParam), HIWORD(message->wParam), slider->GetPos()});
        return true;
    }
};

class SkinSliderTest : public ::testing::Test
{
protected:
    // One pixel of travel per position: an 11-pixel thumb on a 111-pixel channel, 0..100.
    static constexpr int kThickness = 14;

    void SetUp() override
    {
        parent.resize(240, 320);
        slider = new CSkinSlider(&parent);
        parent.slider = slider;
        slider->setGeometry(0, 0, 111, kThickness);
        slider->SetColors(0x0067D0, 0x35B2FF, kSeekBackground);   // the seek slider's colours
        slider->UpdateBackgroundBrush();
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }

    QImage Shown() { return slider->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    QImage ThumbShown() { return Shown().copy(slider->GetThumbRect()); }
    // A bitmap as a thumb shows it: stretched onto the thumb rectangle.
    QImage Stretched(int id, QSize size)
    {
        const QImage bitmap = GetResourceModule().LoadBitmap(id);
        QImage target(size, QImage::Format_RGB32);
        QPainter painter(&target);
        painter.drawImage(QRect(QPoint(0, 0), size), bitmap, bitmap.rect());
        return target;
    }

    ScrollLog parent;
    CSkinSlider* slider = nullptr;
};

TEST_F(SkinSliderTest, HeldThumbShowsThePressedBitmapAndMissingBitmapsFallBack)
{
    // The seek slider as the view makes it.
    slider->setGeometry(7, 212, 182, kThickness);
    slider->SetThumbBitmaps(IDB_SEEK_THUMB, IDB_SEEK_THUMB_PRESSED);
    const QRect thumb = slider->GetThumbRect();
    EXPECT_EQ(ThumbShown(), Stretched(IDB_SEEK_THUMB, thumb.size()));
    QTest::mousePress(slider, Qt::LeftButton, {}, thumb.center());
    EXPECT_EQ(ThumbShown(), Stretched(IDB_SEEK_THUMB_PRESSED, thumb.size()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, thumb.center());
    EXPECT_EQ(ThumbShown(), Stretched(IDB_SEEK_THUMB, thumb.size()));

    // No pressed bitmap: the held thumb looks like the normal one.
    slider->SetThumbBitmaps(IDB_SEEK_THUMB, kMissingBitmap);
    QTest::mousePress(slider, Qt::LeftButton, {}, thumb.center());
    EXPECT_EQ(ThumbShown(), Stretched(IDB_SEEK_THUMB, thumb.size()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, thumb.center());

    // No normal bitmap: the thumb is drawn rather than left out.
    slider->SetThumbBitmaps(kMissingBitmap, IDB_SEEK_THUMB_PRESSED);
    EXPECT_FALSE(slider->HasBitmapThumbs());
}

// Ticks (the loop's marks) sit below the channel, under the centre the thumb has at
// their position.
TEST_F(SkinSliderTest, TicksAreSetWithinTheRangeAndCleared)
{
    EXPECT_TRUE(slider->SetTic(40));
    EXPECT_FALSE(slider->SetTic(101));
    EXPECT_FALSE(slider->SetTic(-1));
    const QPoint mark(40 + 5, kThickness - 1);
    const QRgb background = qRgb(0x25, 0x31, 0x99);
    EXPECT_NE(Shown().pixel(mark), background);
    slider->ClearTics(true);
    EXPECT_EQ(Shown().pixel(mark), background);
}

TEST_F(SkinSliderTest, DraggingTellsTheParentEachPositionAndCodeTellsNothing)
{
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(5, 7));
    QTest::mouseMove(slider, QPoint(55, 7));
    QTest::mouseMove(slider, QPoint(55, 3));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(55, 3));
    EXPECT_EQ(parent.notices, (Notices{{TB_THUMBTRACK, 50, 50}, {TB_THUMBPOSITION, 50, 50}, {TB_ENDTRACK, 0, 50}}));

    // A position set from code is clamped to the range and tells the parent nothing.
    parent.notices.clear();
    slider->SetRange(0, 16);
    slider->SetPos(20);
    EXPECT_EQ(slider->GetPos(), 16);
    slider->SetRangeMax(0);
    EXPECT_EQ(slider->GetPos(), 0);
    EXPECT_TRUE(parent.notices.empty());
}

// Held on the channel, the thumb pages toward the stylus and stops once it reaches or
// passes it, also when a page is longer than the thumb (20 s of a 24 s recording).
TEST_F(SkinSliderTest, HeldPressPagesTowardTheStylusAndStopsOnceTheThumbReachesOrPassesIt)
{
    slider->SetRange(0, 24);
    slider->SetPageSize(20);
    slider->SetPos(0);
    parent.notices.clear();
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(70, 7));   // position 17 or so
    // Long enough for the first repeat and several more.
    EXPECT_FALSE(WaitFor([this] { return parent.notices.size() > 1; }, 1000));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(70, 7));
    EXPECT_EQ(parent.notices, (Notices{{TB_PAGEDOWN, 0, 20}, {TB_ENDTRACK, 0, 20}}));

    // Far from the thumb, it pages on until it gets there, back toward the start here.
    slider->SetRange(0, 100);
    slider->SetPageSize(15);
    slider->SetPos(100);
    parent.notices.clear();
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(30, 7));
    EXPECT_TRUE(WaitFor([this] { return parent.notices.size() >= 5; }, 5000));
    EXPECT_FALSE(WaitFor([this] { return parent.notices.size() > 5; }, 1000));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(30, 7));
    EXPECT_EQ(parent.notices, (Notices{{TB_PAGEUP, 0, 85}, {TB_PAGEUP, 0, 70}, {TB_PAGEUP, 0, 55}, {TB_PAGEUP, 0, 40},
                                       {TB_PAGEUP, 0, 25}, {TB_ENDTRACK, 0, 25}}));
}

} // namespace
