// SPDX-License-Identifier: GPL-2.0-or-later
#include "ImgButton.h"
#include "MessageRecorder.h"

#include "ResourceModule.h"
#include "Sound.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QBackingStore>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

// Sounds are recorded, never played. This definition of PlaySoundW takes the place of
// the platform's for the whole test program: the button library calls it through the
// dynamic linker, which finds the program's own definition first. Besides the call
// itself it notes what the button's window showed on screen at that moment.
namespace {

struct PlayedSound
{
    QString path;
    DWORD flags;
    QImage faceOnScreen;
};

std::vector<PlayedSound> g_sounds;
const QWidget* g_soundButton = nullptr;

QImage OnScreen(const QWidget& widget)
{
    QBackingStore* store = widget.window()->backingStore();
    auto* image = store != nullptr ? dynamic_cast<QImage*>(store->paintDevice()) : nullptr;
    if (image == nullptr)
        return {};
    const QRect place(widget.mapTo(widget.window(), QPoint(0, 0)), widget.size());
    return image->copy(place).convertToFormat(QImage::Format_RGB32);
}

} // namespace

BOOL PlaySoundW(const QString& path, void*, DWORD flags)
{
    g_sounds.push_back({path, flags, g_soundButton ? OnScreen(*g_soundButton) : QImage()});
    return 1;
}

namespace {

constexpr UINT kButtonId = IDC_PLAY;
const QString kPushSound = QStringLiteral("\\Windows\\menusel.wav");

QImage Bitmap(int id)
{
    return GetResourceModule().LoadBitmap(id).convertToFormat(QImage::Format_RGB32);
}

class ImgButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_sounds.clear();
        g_soundButton = &button;
        parent.resize(240, 320);
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }

    void TearDown() override { g_soundButton = nullptr; }

    void CreatePlayButton(BOOL enabled = 1)
    {
        const RECT place{13, 229, 51, 267};
        ASSERT_NE(button.Create(nullptr, &parent, place, kButtonId, IDB_PLAY, IDB_PLAY_PRESSED, IDB_PAUSE, enabled, 0), 0);
        QCoreApplication::processEvents();
    }

    QImage Face() { return button.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    size_t Clicks() const { return parent.received.size(); }

    static constexpr QPoint kInside{5, 5};
    static constexpr QPoint kOutside{-10, 5};
    MessageRecorder parent;
    CIMGButton button;
};

TEST_F(ImgButtonTest, PressPutsThePressedFaceOnScreenBeforeThePushSoundAndOnlyAReleaseInsideClicks)
{
    CreatePlayButton();
    QTest::mousePress(&button, Qt::LeftButton, {}, kInside);
    ASSERT_EQ(g_sounds.size(), 1u);
    EXPECT_EQ(g_sounds[0].path, kPushSound);
    EXPECT_EQ(g_sounds[0].flags, SND_FILENAME);
    EXPECT_EQ(g_sounds[0].faceOnScreen, Bitmap(IDB_PLAY_PRESSED));
    EXPECT_EQ(QWidget::mouseGrabber(), &button);
    EXPECT_EQ(Clicks(), 0u);
    // Slid off and back on, then released inside: one click.
    QTest::mouseMove(&button, kOutside);
    EXPECT_EQ(Face(), Bitmap(IDB_PLAY));
    QTest::mouseMove(&button, kInside);
    EXPECT_EQ(Face(), Bitmap(IDB_PLAY_PRESSED));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kInside);
    ASSERT_EQ(Clicks(), 1u);
    EXPECT_EQ(parent.received[0].message, WM_COMMAND);
    EXPECT_EQ(parent.received[0].wParam, MAKEWPARAM(WORD(kButtonId), BN_CLICKED));
    EXPECT_EQ(Face(), Bitmap(IDB_PLAY));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // Released outside: nothing.
    QTest::mousePress(&button, Qt::LeftButton, {}, kInside);
    QTest::mouseMove(&button, kOutside);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kOutside);
    EXPECT_EQ(Clicks(), 1u);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // A release inside clicks even without a press on the button, and sounds nothing:
    // two presses so far, two sounds (a release that sounded would show here too).
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(Clicks(), 2u);
    EXPECT_EQ(g_sounds.size(), 2u);

    // A double tap: the second tap arrives as a double click in place of its press.
    QTest::mouseClick(&button, Qt::LeftButton, {}, kInside);
    QTest::mouseDClick(&button, Qt::LeftButton, {}, kInside);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(Clicks(), 4u);
    EXPECT_EQ(g_sounds.size(), 4u);
    EXPECT_EQ(Face(), Bitmap(IDB_PLAY));
}

TEST_F(ImgButtonTest, DisabledButtonWarnsAndSendsNothingEvenWhenDisabledWhileHeld)
{
    CreatePlayButton(0);
    EXPECT_EQ(Face(), Bitmap(IDB_PAUSE));
    QTest::mouseClick(&button, Qt::LeftButton, {}, kInside);
    ASSERT_EQ(g_sounds.size(), 1u);
    EXPECT_EQ(g_sounds[0].path, QStringLiteral("\\Windows\\question.wav"));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(Face(), Bitmap(IDB_PAUSE));

    button.EnableButton(1);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(g_sounds.back().path, kPushSound);
    button.EnableButton(0);
    EXPECT_EQ(Face(), Bitmap(IDB_PAUSE));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(6, 6));
    EXPECT_EQ(Clicks(), 0u);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "the rest of the program gets its mouse back";

    // Enabled again, it shows the face of the state it was left in.
    button.EnableButton(1);
    EXPECT_EQ(Face(), Bitmap(IDB_PLAY_PRESSED));
}

TEST_F(ImgButtonTest, LosingTheMouseEndsThePressOnOrOffTheButton)
{
    CreatePlayButton();
    QWidget other(&parent);
    other.setGeometry(100, 10, 20, 20);
    other.show();
    QTest::mousePress(&button, Qt::LeftButton, {}, kInside);
    other.grabMouse();
    QTest::mouseMove(&other, QPoint(1, 1));
    EXPECT_EQ(OnScreen(button), Bitmap(IDB_PLAY));
    other.releaseMouse();

    // Not stuck: the next press is a press again.
    QTest::mousePress(&button, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(g_sounds.size(), 2u);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(Clicks(), 1u);

    // The same after sliding off first.
    QTest::mousePress(&button, Qt::LeftButton, {}, kInside);
    QTest::mouseMove(&button, kOutside);
    button.hide();
    button.show();
    QTest::mousePress(&button, Qt::LeftButton, {}, kInside);
    EXPECT_EQ(g_sounds.size(), 4u);
    EXPECT_EQ(Face(), Bitmap(IDB_PLAY_PRESSED));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, kInside);
}

} // namespace
