// SPDX-License-Identifier: GPL-2.0-or-later
// The main view's player panel: its buttons and sliders, the player thread's
// notifications (handed to the controller first), the time texts painted on the skin,
// and the teardown.

#include "VellumdeckView.h"

#include "ColourRef.h"
#include "MessageBox.h"
#include "PlayerMessages.h"
#include "SoftwareVolume.h"
#include "TuneboxThread.h"
#include "WaveOut.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QPainter>

namespace {

// The A-B loop's states: no point, point A set, both set.
constexpr int kPointASet = 1;
constexpr int kBothPointsSet = 2;

}  // namespace

// ---- buttons ----

void CVellumdeckView::OnButtonClicked(int id)
{
    switch (id) {
    case IDC_PLAY:
    case IDC_PAUSE:
        OnPlayPause();
        break;
    case IDC_STOP:
        OnStopButton();
        break;
    case IDC_STEP_BACK:
        OnStepBack();
        break;
    case IDC_STEP_FORWARD:
        OnStepForward();
        break;
    case IDC_PREVIOUS:
        OnPrevious();
        break;
    case IDC_NEXT:
        OnNext();
        break;
    case IDC_LOOP_OFF:
    case IDC_LOOP_A:
    case IDC_LOOP_AB:
        OnLoopAB();
        break;
    case IDC_REPEAT_TRACK_OFF:
    case IDC_REPEAT_TRACK_ON:
        OnRepeatTrack();
        break;
    case IDC_SOUND:
        OnSound();
        break;
    case IDC_REPEAT_LIST_OFF:
    case IDC_REPEAT_LIST_ON:
        OnRepeatList();
        break;
    default:
        break;
    }
}

void CVellumdeckView::OnPlayPause()
{
    m_controller.PlayPause();
    FocusTextPane();
}

void CVellumdeckView::OnStopButton()
{
    m_controller.Stop();
    ResetLoopAndRepeat();
    FocusTextPane();
}

void CVellumdeckView::OnStepBack()
{
    m_controller.StepBack();
    FocusTextPane();
}

void CVellumdeckView::OnStepForward()
{
    m_controller.StepForward();
    FocusTextPane();
}

void CVellumdeckView::OnPrevious()
{
    m_controller.Stop();
    m_controller.PreviousItem();
    ResetLoopAndRepeat();
    FocusTextPane();
}

void CVellumdeckView::OnNext()
{
    m_controller.Stop();
    m_controller.NextItem();
    ResetLoopAndRepeat();
    FocusTextPane();
}

// A-B loop, one step per press while playing: A, then B (the loop starts), then off.
void CVellumdeckView::OnLoopAB()
{
    if (PlayerState() == PLAYER_PLAYING) {
        const int position = m_seekSlider.GetPos();
        m_seekSlider.SetTic(position);
        m_controller.SetLoopPoint(m_loopPointsSet, position);
        ++m_loopPointsSet;
        ShowButton(BTN_LOOP_A, m_loopPointsSet == kPointASet);
        ShowButton(BTN_LOOP_AB, m_loopPointsSet == kBothPointsSet);
        ShowButton(BTN_LOOP_OFF, m_loopPointsSet > kBothPointsSet);
        if (m_loopPointsSet > kBothPointsSet) {
            m_loopPointsSet = 0;
            m_seekSlider.ClearTics(false);
        }
    }
    FocusTextPane();
}

void CVellumdeckView::OnRepeatTrack()
{
    m_repeatTrack = 1 - m_repeatTrack;
    ShowButton(BTN_REPEAT_TRACK_ON, m_repeatTrack == 1);
    ShowButton(BTN_REPEAT_TRACK_OFF, m_repeatTrack == 0);
    m_controller.SetRepeatTrack(m_repeatTrack == 1);
    FocusTextPane();
}

// Muting keeps the chosen level, so unmuting brings it back; and it is not stored, so
// the next start is heard at the level the slider shows.
void CVellumdeckView::OnSound()
{
    m_soundOn = 1 - m_soundOn;
    const bool on = m_soundOn == 1;
    if (on)
        waveOutSetVolume(nullptr, m_savedVolume);
    else
        SoftwareVolume::SetMuted(true);
    m_volumeSlider.setEnabled(on);
    ShowButton(BTN_SOUND_ON, on);
    ShowButton(BTN_SOUND_OFF, !on);
    FocusTextPane();
}

void CVellumdeckView::OnRepeatList()
{
    m_repeatList = 1 - m_repeatList;
    ShowButton(BTN_REPEAT_LIST_ON, m_repeatList == 1);
    ShowButton(BTN_REPEAT_LIST_OFF, m_repeatList == 0);
    m_controller.m_repeatList = m_repeatList == 1;
    FocusTextPane();
}

// After Stop, Previous, Next and the end of a track. Repeat-list stays as it is.
void CVellumdeckView::ResetLoopAndRepeat()
{
    m_controller.m_loopEnabled = false;
    m_loopPointsSet = 0;
    m_seekSlider.ClearTics(true);
    ShowButton(BTN_LOOP_OFF, true);
    ShowButton(BTN_LOOP_A, false);
    ShowButton(BTN_LOOP_AB, false);
    m_repeatTrack = 0;
    m_controller.m_repeatTrack = false;
    ShowButton(BTN_REPEAT_TRACK_OFF, true);
    ShowButton(BTN_REPEAT_TRACK_ON, false);
}

void CVellumdeckView::ShowButton(int index, bool show)
{
    m_buttons[std::size_t(index)].setVisible(show);
}

void CVellumdeckView::FocusTextPane()
{
    m_textPane.setFocus();
}

// ---- sliders ----

void CVellumdeckView::OnHScroll(WORD code, int, QWidget* scrollBar)
{
    if (scrollBar != &m_seekSlider)
        return;
    m_controller.OnSliderScroll(code, scrollBar);
    if (code == SB_ENDSCROLL)
        FocusTextPane();
}

// Position 0 (top) is the loudest: 16 steps of 4095 device units, the same on both
// channels.
void CVellumdeckView::OnVScroll(WORD, int, QWidget* scrollBar)
{
    if (scrollBar != &m_volumeSlider)
        return;
    const int position = m_volumeSlider.GetPos();
    if (position == m_volumePosition)
        return;
    m_volumePosition = position;
    const DWORD level = DWORD(kVolumeSteps - position) * kVolumeUnitsPerStep;
    m_savedVolume = level * kBothChannels;
    waveOutSetVolume(nullptr, m_savedVolume);
}

// ---- notifications ----

LRESULT CVellumdeckView::OnPlayerState(WPARAM wParam, LPARAM)
{
    // After the teardown a late notice must not move the controller on to another item.
    if (m_destroyed)
        return 0;
    const int state = int(wParam);
    m_controller.OnPlayerState(state);
    switch (state) {
    case PLAYER_ENDED:
        ShowButton(BTN_PLAY, true);
        ShowButton(BTN_PAUSE, false);
        ResetLoopAndRepeat();
        break;
    case PLAYER_PAUSED:
    case PLAYER_STOPPED:
        ShowButton(BTN_PLAY, true);
        ShowButton(BTN_PAUSE, false);
        break;
    case PLAYER_PLAYING:
        ShowButton(BTN_PLAY, false);
        ShowButton(BTN_PAUSE, true);
        FollowStudyTextOf(m_controller.GetTitle());
        ShowRecordingTitle();
        break;
    default:
        break;
    }
    return 0;
}

LRESULT CVellumdeckView::OnPlayerTotal(WPARAM wParam, LPARAM)
{
    // The block is ours whatever happens.
    std::unique_ptr<TrackInfo> info = tuneboxThread::TakeTrackInfo(wParam);
    if (m_destroyed)
        return 0;
    m_controller.OnPlayerTotal(std::move(info));
    PaintTimeText(IDC_TOTAL_TEXT, kTotalTextAt);
    return 0;
}

LRESULT CVellumdeckView::OnPlayerLoopPoint(WPARAM wParam, LPARAM lParam)
{
    if (m_destroyed)
        return 0;
    const int kind = int(wParam);
    m_controller.OnPlayerLoopPoint(kind, int(lParam));
    if (kind == CPlayerController::kLoopClear) {
        // The passes asked for are done: the panel shows no loop any more.
        if (m_loopPointsSet != 0) {
            m_loopPointsSet = 0;
            m_seekSlider.ClearTics(true);
            ShowButton(BTN_LOOP_OFF, true);
            ShowButton(BTN_LOOP_A, false);
            ShowButton(BTN_LOOP_AB, false);
        }
        return 0;
    }
    if (m_loopPointsSet != 0)
        ShowLoopTics();
    return 0;
}

// The ticks of the press give way to marks where the points fell, to the millisecond.
void CVellumdeckView::ShowLoopTics()
{
    constexpr double kSecondMs = 1000.0;
    m_seekSlider.ClearTics(false);
    for (const int ms : {m_controller.GetLoopStartMs(), m_controller.GetLoopEndMs()}) {
        if (ms >= 0)
            m_seekSlider.SetMark(ms / kSecondMs);
    }
    m_seekSlider.update();
}

LRESULT CVellumdeckView::OnPlayerPos(WPARAM wParam, LPARAM)
{
    if (m_destroyed)
        return 0;
    m_controller.OnPlayerPos(int(wParam));
    PaintTimeText(IDC_POS_TEXT, kPosTextAt);
    return 0;
}

void CVellumdeckView::PaintTimeText(int labelId, const QPoint& at)
{
    if (m_backBuffer.isNull()) {
        // Painted once the buffer exists (not after the teardown, which drops it).
        if (!m_destroyed)
            m_unpaintedTimes.emplace_back(labelId, at);
        return;
    }
    const QString text = GetDlgItemText(labelId);
    QPainter painter(&m_backBuffer);
    painter.setFont(font());
    QRect place = painter.boundingRect(QRect(at, QSize(0, 0)), Qt::TextSingleLine | Qt::AlignLeft | Qt::AlignTop, text);
    place.moveTopLeft(at);
    // Wipe the previous text with the skin under it, then draw the new one.
    if (!m_skinBitmap.isNull())
        painter.drawImage(place.topLeft(), m_skinBitmap, place);
    painter.setPen(ToQColor(kTimeTextColor));
    painter.drawText(place, Qt::TextSingleLine | Qt::AlignVCenter | Qt::AlignLeft, text);
    painter.end();
    update(PanelToView(place));
}

// ---- teardown ----

void CVellumdeckView::OnDestroy()
{
    if (m_destroyed)
        return;
    m_destroyed = true;
    StoreFrameGeometry();
    // Nobody is left to answer a box the player thread asks for, and the thread is to be
    // ended and waited for: such a box is answered at once from now on.
    EndWorkerMessageBoxes();
    if (!m_companionPath.isEmpty() && m_bookmarks.GetCount() > 0) {
        m_bookmarkStore.Store(m_bookmarks, BookmarkFileOf(m_companionPath), this, CBookmarkStore::Moment::Closing);
        m_companionPath.clear();
    }
    // The lists of texts left earlier whose files could not be written get a last try.
    m_bookmarkStore.StoreKept(this, CBookmarkStore::Moment::Closing);
    m_backBuffer = QImage();
    m_skinBitmap = QImage();
    if (PlayerState() == PLAYER_PLAYING)
        OnStopButton();
}
