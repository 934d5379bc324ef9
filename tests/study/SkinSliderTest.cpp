#include "SkinSlider.h"

#include "ResourceModule.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QPainter>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr COLORREF kSkinThumb = 0x0067D0;
constexpr COLORREF kSkinChannel = 0x35B2FF;
constexpr COLORREF kSeekBackground = 0x993125;
constexpr int kMissingBitmap = 9999;

QRgb Rgb(COLORREF colour)
{
    return qRgb(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

// A parent that keeps every scroll notice, with the slider's position when it came.
class ScrollLog : public QWidget
{
public:
    struct Notice
    {
        UINT message;
        WORD code;
        WORD position;
        LPARAM control;
        int posWhenSent;
    };
    std::vector<Notice> notices;
    CSkinSlider* slider = nullptr;

    std::vector<WORD> Codes() const
    {
        std::vector<WORD> codes;
        for (const Notice& notice : notices)
            codes.push_back(notice.code);
        return codes;
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != WindowMessageEvent::EventType())
            return QWidget::event(event);
        auto* message = static_cast<WindowMessageEvent*>(event);
        notices.push_back({message->message, LOWORD(message->wParam), HIWORD(message->wParam), message->lParam,
                           slider != nullptr ? slider->GetPos() : -1});
        return true;
    }
};

class SkinSliderTest : public ::testing::Test
{
protected:
    // One pixel of travel per position: an 11-pixel thumb on a 111-pixel channel, 0..100.
    static constexpr int kLength = 111;
    static constexpr int kThickness = 14;

    void SetUp() override
    {
        parent.resize(240, 320);
        slider = new CSkinSlider(&parent);
        parent.slider = slider;
        slider->setGeometry(0, 0, kLength, kThickness);
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
    slider->SetColors(kSkinThumb, kSkinChannel, kSeekBackground);
    slider->UpdateBackgroundBrush();
    const QRect thumb = slider->GetThumbRect();
    EXPECT_EQ(ThumbShown(), Stretched(IDB_SEEK_THUMB, thumb.size()));
    QTest::mousePress(slider, Qt::LeftButton, {}, thumb.center());
    EXPECT_EQ(ThumbShown(), Stretched(IDB_SEEK_THUMB_PRESSED, thumb.size()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, thumb.center());
    EXPECT_EQ(ThumbShown(), Stretched(IDB_SEEK_THUMB, thumb.size()));

    // No pressed bitmap: the held thumb looks like the normal one.
    slider->SetThumbBitmaps(IDB_SEEK_THUMB, kMissingBitmap);
    ASSERT_TRUE(slider->HasBitmapThumbs());
    QTest::mousePress(slider, Qt::LeftButton, {}, thumb.center());
    EXPECT_EQ(ThumbShown(), Stretched(IDB_SEEK_THUMB, thumb.size()));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, thumb.center());

    // No normal bitmap: the thumb is drawn rather than left out.
    slider->SetThumbBitmaps(kMissingBitmap, IDB_SEEK_THUMB_PRESSED);
    EXPECT_FALSE(slider->HasBitmapThumbs());
}

TEST_F(SkinSliderTest, TicksAreSetWithinTheRangeAndCleared)
{
    slider->SetColors(kSkinThumb, kSkinChannel, kSeekBackground);
    slider->UpdateBackgroundBrush();
    EXPECT_EQ(slider->GetNumTics(), 2);
    EXPECT_TRUE(slider->SetTic(40));
    EXPECT_TRUE(slider->SetTic(70));
    EXPECT_FALSE(slider->SetTic(101));
    EXPECT_FALSE(slider->SetTic(-1));
    EXPECT_EQ(slider->GetNumTics(), 4);
    EXPECT_EQ(slider->GetTic(0), 40);
    EXPECT_EQ(slider->GetTic(1), 70);
    EXPECT_EQ(slider->GetTic(2), -1);

    // Ticks sit below the channel, under the centre the thumb has at that position.
    const QPoint mark(40 + 5, kThickness - 1);
    EXPECT_NE(Shown().pixel(mark), Rgb(kSeekBackground));
    slider->ClearTics(true);
    EXPECT_EQ(slider->GetNumTics(), 2);
    EXPECT_EQ(Shown().pixel(mark), Rgb(kSeekBackground));

    slider->SetTrackbarStyle(CSkinSlider::TBS_NOTICKS);
    EXPECT_EQ(slider->GetNumTics(), 0);
}

TEST_F(SkinSliderTest, DraggingTellsTheParentEachPositionAndAPressOnTheChannelPages)
{
    QTest::mousePress(slider, Qt::LeftButton, {}, QPoint(5, 7));
    QTest::mouseMove(slider, QPoint(55, 7));
    QTest::mouseMove(slider, QPoint(55, 3));
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(55, 3));

    EXPECT_EQ(parent.Codes(), (std::vector<WORD>{TB_THUMBTRACK, TB_THUMBPOSITION, TB_ENDTRACK}));
    ASSERT_EQ(parent.notices.size(), 3u);
    for (const auto& notice : parent.notices) {
        EXPECT_EQ(notice.message, WM_HSCROLL);
        EXPECT_EQ(notice.control, LPARAM(static_cast<QWidget*>(slider)));
        EXPECT_EQ(notice.posWhenSent, 50);
    }
    EXPECT_EQ(parent.notices[0].position, 50);
    EXPECT_EQ(parent.notices[1].position, 50);
    EXPECT_EQ(parent.notices[2].position, 0);

    // A press beside the thumb moves a page toward the stylus.
    parent.notices.clear();
    slider->SetPos(50);
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(100, 7));
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(2, 7));
    EXPECT_EQ(parent.Codes(), (std::vector<WORD>{TB_PAGEDOWN, TB_ENDTRACK, TB_PAGEUP, TB_ENDTRACK}));
    ASSERT_EQ(parent.notices.size(), 4u);
    EXPECT_EQ(parent.notices[0].posWhenSent, 70);
    EXPECT_EQ(parent.notices[2].posWhenSent, 50);
}

TEST_F(SkinSliderTest, PositionSetFromCodeIsClampedAndSendsNothing)
{
    slider->SetRange(0, 16);
    slider->SetPos(20);
    EXPECT_EQ(slider->GetPos(), 16);
    slider->SetRangeMax(0);
    EXPECT_EQ(slider->GetPos(), 0);
    EXPECT_EQ(slider->SetLineSize(5), 1);
    EXPECT_EQ(slider->GetLineSize(), 5);
    EXPECT_EQ(slider->SetPageSize(2), 20);
    EXPECT_TRUE(parent.notices.empty());
}

} // namespace
