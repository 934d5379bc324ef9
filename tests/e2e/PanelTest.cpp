// The player panel as the user works it: the play/pause face, the A-B loop, mute and
// volume, the end of a track, previous and next, and pausing without losing the page.

#include "ProgramFixture.h"

#include "PlayerMessages.h"
#include "Registry.h"
#include "SoftwareVolume.h"
#include "WavFile.h"
#include "WaveOut.h"
#include "WindowMessage.h"

#include <QScrollBar>

namespace {

using B = CVellumdeckView;

class PanelTest : public ProgramFixture
{
protected:
    bool WaitForSecond(int seconds) const
    {
        return WaitFor([this, seconds] { return View().SeekSlider().GetPos() >= seconds; });
    }

    std::vector<int> LoopFacesShown() const
    {
        std::vector<int> shown;
        for (int index : {B::BTN_LOOP_OFF, B::BTN_LOOP_A, B::BTN_LOOP_AB})
            if (Shown(index))
                shown.push_back(index);
        return shown;
    }

    // The volume the settings file holds for the next run.
    static DWORD StoredVolume()
    {
        HKEY key = nullptr;
        DWORD stored = 0;
        DWORD size = sizeof(stored);
        if (RegOpenKeyExW(HKEY_CURRENT_USER, QString::fromUtf16(SoftwareVolume::kKey), &key) == ERROR_SUCCESS) {
            RegQueryValueExW(key, QString::fromUtf16(SoftwareVolume::kValue), nullptr, reinterpret_cast<BYTE*>(&stored),
                             &size);
            RegCloseKey(key);
        }
        return stored;
    }

    static DWORD ProgramVolume()
    {
        DWORD volume = 0;
        waveOutGetVolume(nullptr, &volume);
        return volume;
    }
};

}  // namespace

TEST_F(PanelTest, PauseAndResumeKeepTheTextWhereTheReaderLeftItAndPausedLoopDoesNothing)
{
    StartPlayingLesson();
    EXPECT_TRUE(Shown(B::BTN_PAUSE));
    EXPECT_FALSE(Shown(B::BTN_PLAY));
    EXPECT_TRUE(PaneText().contains(QStringLiteral("A coffee, please.")));
    QScrollBar* scroll = View().TextPane().verticalScrollBar();
    ASSERT_GT(scroll->maximum(), 0);
    scroll->setValue(scroll->maximum());
    const int line = View().TextPane().GetFirstVisibleLine();
    ASSERT_GT(line, 0);

    Tap(B::BTN_PAUSE);
    ASSERT_TRUE(WaitForState(PLAYER_PAUSED));
    EXPECT_TRUE(Shown(B::BTN_PLAY));
    EXPECT_FALSE(Shown(B::BTN_PAUSE));
    EXPECT_EQ(QApplication::focusWidget(), &View().TextPane());
    Tap(B::BTN_LOOP_OFF);
    EXPECT_EQ(LoopFacesShown(), std::vector<int>{B::BTN_LOOP_OFF});
    EXPECT_EQ(View().Controller().GetLoopStart(), CPlayerController::kNoLoopPoint);

    Tap(B::BTN_PLAY);
    ASSERT_TRUE(WaitForState(PLAYER_PLAYING));
    EXPECT_TRUE(Shown(B::BTN_PAUSE));
    EXPECT_EQ(View().TextPane().GetFirstVisibleLine(), line) << "resuming reloaded the text";
}

TEST_F(PanelTest, LoopButtonSetsASetsBAndClearsWithTicksAndFaces)
{
    StartPlayingLesson();
    ASSERT_EQ(LoopFacesShown(), std::vector<int>{B::BTN_LOOP_OFF});
    ASSERT_TRUE(WaitForSecond(1));
    Tap(B::BTN_LOOP_OFF);
    EXPECT_EQ(LoopFacesShown(), std::vector<int>{B::BTN_LOOP_A});
    const int a = View().Controller().GetLoopStart();
    EXPECT_GE(a, 1);
    // A tick at the press, then a mark where the player took the point (to the ms).
    const auto marks = [this] { return View().SeekSlider().Marks(); };
    ASSERT_TRUE(WaitFor([&] { return marks().size() == 1; }));
    EXPECT_GE(marks()[0], a);
    EXPECT_LT(marks()[0], a + 1.5);
    EXPECT_FALSE(View().Controller().m_loopEnabled);

    ASSERT_TRUE(WaitForSecond(a + 3));
    Tap(B::BTN_LOOP_A);
    EXPECT_EQ(LoopFacesShown(), std::vector<int>{B::BTN_LOOP_AB});
    ASSERT_TRUE(WaitFor([&] { return marks().size() == 2; }));
    const int b = View().Controller().GetLoopEnd();
    EXPECT_GT(b, a);
    EXPECT_NEAR(marks()[1], View().Controller().GetLoopEndMs() / 1000.0, 0.001);
    // Setting B jumps back to A at once, and reaching B jumps back again.
    EXPECT_TRUE(WaitFor([&] { return View().SeekSlider().GetPos() < b; }));
    EXPECT_TRUE(WaitFor([&] { return View().SeekSlider().GetPos() == b; }));
    EXPECT_TRUE(WaitFor([&] { return View().SeekSlider().GetPos() < b; }));

    Tap(B::BTN_LOOP_AB);
    EXPECT_EQ(LoopFacesShown(), std::vector<int>{B::BTN_LOOP_OFF});
    EXPECT_FALSE(View().Controller().m_loopEnabled);
    EXPECT_EQ(View().SeekSlider().GetTic(0), -1);
    EXPECT_TRUE(marks().empty());
}

TEST_F(PanelTest, VolumeSliderSetsBothChannelsAndMuteKeepsTheLevel)
{
    UseAudio("null:50");
    Start();
    CSkinSlider& volume = View().VolumeSlider();
    volume.setFocus();
    // The top of the slider is the loudest: 16 steps of 4095, so 0xFFF0 per channel.
    QTest::keyClick(&volume, Qt::Key_End);
    EXPECT_EQ(ProgramVolume(), 0u);
    QTest::keyClick(&volume, Qt::Key_Home);
    EXPECT_EQ(View().VolumePosition(), 0);
    EXPECT_EQ(ProgramVolume(), 0xFFF0FFF0u);
    // A move to where the slider already is changes nothing.
    waveOutSetVolume(nullptr, 0x12341234u);
    QTest::keyClick(&volume, Qt::Key_Home);
    EXPECT_EQ(ProgramVolume(), 0x12341234u);

    QTest::keyClick(&volume, Qt::Key_End);
    QTest::keyClick(&volume, Qt::Key_Up);   // one step louder than silence
    const DWORD chosen = 4095u * 0x10001u;
    EXPECT_EQ(ProgramVolume(), chosen);
    EXPECT_EQ(View().SavedVolume(), chosen);
    Tap(B::BTN_SOUND_ON);
    EXPECT_EQ(ProgramVolume(), 0u);
    EXPECT_FALSE(volume.isEnabled());
    EXPECT_FALSE(Shown(B::BTN_SOUND_ON));
    EXPECT_EQ(QApplication::focusWidget(), &View().TextPane());
    Tap(B::BTN_SOUND_OFF);
    EXPECT_EQ(ProgramVolume(), chosen);
    EXPECT_TRUE(volume.isEnabled());
    EXPECT_TRUE(Shown(B::BTN_SOUND_ON));
}

// Mute is for this run: the next start is heard at the volume the slider shows.
TEST_F(PanelTest, MuteIsNotRememberedSoTheNextStartIsHeardAtTheChosenVolume)
{
    UseAudio("null:50");
    Start();
    CSkinSlider& volume = View().VolumeSlider();
    volume.setFocus();
    QTest::keyClick(&volume, Qt::Key_Home);
    for (int step = 0; step < 4; ++step)
        QTest::keyClick(&volume, Qt::Key_Down);
    const DWORD chosen = 12u * 4095u * 0x10001u;
    ASSERT_EQ(ProgramVolume(), chosen);
    Tap(B::BTN_SOUND_ON);
    EXPECT_EQ(ProgramVolume(), 0u);
    EXPECT_EQ(StoredVolume(), chosen);
    m_app.reset();

    const QString capture = m_root.Path() + QStringLiteral("/heard.wav");
    UseAudio(("wav:" + capture).toLocal8Bit());
    ASSERT_TRUE(WriteFile(QStringLiteral("\\My documents\\talk.mp3"), ReadHostFile(TestDataPath("speech.mp3"))));
    Start();
    EXPECT_EQ(View().VolumePosition(), 4);
    EXPECT_EQ(View().VolumeSlider().GetPos(), 4);
    EXPECT_TRUE(Shown(B::BTN_SOUND_ON));
    EXPECT_TRUE(View().VolumeSlider().isEnabled());
    EXPECT_EQ(ProgramVolume(), chosen);
    FileOpen(QStringLiteral("\\My documents\\talk.mp3"));
    // A second of speech or more has come out.
    ASSERT_TRUE(WaitFor([&] { return QFileInfo(capture).size() > 100000; }));
    WavSound heard;
    ASSERT_TRUE(WavFile::Parse(ReadHostFile(capture), heard));
    int peak = 0;
    for (qsizetype i = 0; i + 1 < heard.pcm.size(); i += 2)
        peak = std::max(peak, std::abs(int(qint16(quint8(heard.pcm[i]) | (quint8(heard.pcm[i + 1]) << 8)))));
    EXPECT_GT(peak, 1000) << "the recording was not heard";
}

TEST_F(PanelTest, EndOfTrackResetsLoopAndRepeatOneThenPreviousAndNextMoveThroughTheList)
{
    StartPlayingLesson();
    ASSERT_TRUE(WaitForSecond(1));
    Tap(B::BTN_LOOP_OFF);             // point A
    Tap(B::BTN_REPEAT_TRACK_OFF);     // repeat-one on
    Tap(B::BTN_REPEAT_LIST_OFF);      // repeat-list on
    ASSERT_TRUE(Shown(B::BTN_LOOP_A) && Shown(B::BTN_REPEAT_TRACK_ON) && Shown(B::BTN_REPEAT_LIST_ON));

    // Repeat-one would keep this track going for ever; the track ends as the player
    // thread reports it.
    SendMessageW(&View(), WM_PLAYER_STATE, PLAYER_ENDED, 0);
    EXPECT_TRUE(Shown(B::BTN_PLAY));
    EXPECT_EQ(LoopFacesShown(), std::vector<int>{B::BTN_LOOP_OFF});
    EXPECT_EQ(View().SeekSlider().GetTic(0), -1);
    EXPECT_TRUE(Shown(B::BTN_REPEAT_TRACK_OFF));
    EXPECT_FALSE(View().Controller().m_repeatTrack);
    EXPECT_TRUE(Shown(B::BTN_REPEAT_LIST_ON));
    EXPECT_TRUE(View().Controller().m_repeatList);

    // The next lesson follows, with its own study text.
    EXPECT_TRUE(WaitFor([this] { return View().Controller().GetTitle() == Device(kLesson2); }));
    ASSERT_TRUE(WaitFor([this] { return PaneText().contains(QStringLiteral("next train to York")); }));
    EXPECT_EQ(View().CompanionPath(), Device(kLesson2Text));

    // Previous and next move through the list with their texts; next resets repeat-one.
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    Tap(B::BTN_PREVIOUS);
    EXPECT_EQ(View().Controller().GetTitle(), Device(kLesson1));
    ASSERT_TRUE(WaitFor([this] { return PaneText().contains(QStringLiteral("A coffee, please.")); }));
    EXPECT_EQ(View().CompanionPath(), Device(kLesson1));
    Tap(B::BTN_REPEAT_TRACK_OFF);
    Tap(B::BTN_NEXT);
    EXPECT_TRUE(Shown(B::BTN_REPEAT_TRACK_OFF)) << "next resets repeat-one";
    EXPECT_EQ(View().Controller().GetTitle(), Device(kLesson2));
    EXPECT_TRUE(WaitFor([this] { return PaneText().contains(QStringLiteral("Platform three")); }));
}
