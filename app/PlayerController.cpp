// SPDX-License-Identifier: GPL-2.0-or-later
#include "PlayerController.h"

#include "KeepAwake.h"
#include "MessageBox.h"
#include "MessageQueue.h"
#include "PlayerMessages.h"
#include "PlayerView.h"
#include "Playlist.h"
#include "SelectFileDialog.h"
#include "TuneboxThread.h"
#include "WindowMessage.h"

#include <QAbstractSlider>

#include <algorithm>

namespace {

constexpr int kSecondsPerMinute = 60;
constexpr int kMillisecondsPerSecond = 1000;
constexpr int kSecondsPerHour = 3600;

int RunSelectFileDialog(QString* path)
{
    CSelectFileDialog dialog;   // no parent window, as the library expects
    const int result = dialog.DoModal();
    if (result == IDOK)
        *path = dialog.GetPathName();
    return result;
}

}  // namespace

CPlayerController::CPlayerController()
    : m_fileDialog(RunSelectFileDialog), m_keepAlive(KeepAwake::SimulateUserActivity)
{
}

CPlayerController::~CPlayerController()
{
    EndThread();
}

bool CPlayerController::Create(PlayerView* view, QAbstractSlider* seekSlider, int posLabelId, int lengthLabelId)
{
    m_view = view;
    m_seekSlider = seekSlider;
    m_posLabelId = posLabelId;
    m_lengthLabelId = lengthLabelId;
    m_state = 0;
    m_currentIndex = 0;

    auto thread = std::make_unique<tuneboxThread>();
    thread->m_bAutoDelete = false;   // the object outlives its thread; we delete it
    thread->SetOwner(view != nullptr ? view->PlayerNotifyTarget() : nullptr);
    if (!thread->CreateThread()) {
        MessageBoxW(view != nullptr ? view->MessageBoxOwner() : nullptr, kThreadFailureText, kMessageCaption, MB_OK | MB_ICONSTOP);
        return false;
    }
    m_thread = std::move(thread);
    return true;
}

void CPlayerController::EndThread()
{
    if (!m_thread)
        return;
    if (PostThreadMessageW(m_thread->m_nThreadID, WM_PLAYER_QUIT, 0, 0))
        m_thread->WaitForExit();
    m_thread.reset();
}

DWORD CPlayerController::CommandThreadId() const
{
    if (m_commandThreadId != 0)
        return m_commandThreadId;
    return m_thread ? m_thread->m_nThreadID : 0;
}

void CPlayerController::Post(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    const DWORD threadId = CommandThreadId();
    if (threadId != 0)
        PostThreadMessageW(threadId, msg, wParam, lParam);
}

void CPlayerController::ResetDisplay()
{
    if (m_seekSlider != nullptr) {
        m_seekSlider->setSingleStep(kSeekLineSize);
        m_seekSlider->setMaximum(0);
    }
    ShowTime(m_posLabelId, 0);
}

// ---- opening ----

std::optional<QString> CPlayerController::OpenWithDialog()
{
    if (IsOpen())
        Post(WM_PLAYER_STOP);
    QString path;
    if (m_fileDialog && m_fileDialog(&path) == IDOK)
        FillAndLoad(path);
    return TakeCurrentTitle();
}

std::optional<QString> CPlayerController::OpenPath(const QString& path)
{
    FillAndLoad(path);
    return TakeCurrentTitle();
}

void CPlayerController::FillAndLoad(const QString& path)
{
    m_playlist.clear();
    if (FillPlaylist(&m_playlist, path)) {
        m_currentIndex = 0;
        m_playing = LoadItem();
    }
}

std::optional<QString> CPlayerController::TakeCurrentTitle()
{
    m_title = GetItem(m_currentIndex);
    if (m_playlist.isEmpty())
        return std::nullopt;
    return m_title;
}

bool CPlayerController::LoadItem()
{
    if (m_playlist.isEmpty()) {
        m_currentIndex = 0;
        return false;
    }
    if (m_currentIndex < 0)
        m_currentIndex = 0;
    if (m_currentIndex >= m_playlist.size()) {
        m_currentIndex = int(m_playlist.size()) - 1;
        return false;
    }
    const QString path = GetItem(m_currentIndex);
    if (path.isEmpty())
        return false;
    tuneboxThread::PostOpen(CommandThreadId(), path);
    Post(WM_PLAYER_PLAY);
    return true;
}

QString CPlayerController::GetItem(int index) const
{
    if (index < 0 || index >= m_playlist.size())
        return QString();
    return m_playlist.at(index);
}

// ---- the panel's commands ----

bool CPlayerController::IsOpen() const
{
    return m_state == PLAYER_PLAYING || m_state == PLAYER_PAUSED;
}

void CPlayerController::PlayPause()
{
    switch (m_state) {
    case PLAYER_PLAYING:
        Post(WM_PLAYER_PAUSE);
        m_playing = false;
        break;
    case PLAYER_PAUSED:
        Post(WM_PLAYER_PLAY);
        m_playing = true;
        break;
    default:
        // The thread forgets the file on stop and at the end, so open it again.
        LoadItem();
        Post(WM_PLAYER_PLAY);
        m_playing = true;
        break;
    }
}

void CPlayerController::Stop()
{
    Post(WM_PLAYER_STOP);
    if (m_seekSlider != nullptr) {
        m_seekSlider->setValue(0);
        m_seekSlider->setMaximum(0);
    }
    ShowTime(m_posLabelId, 0);
}

int CPlayerController::ClampToRange(int seconds) const
{
    if (m_seekSlider == nullptr)
        return std::max(seconds, 0);
    return std::clamp(seconds, m_seekSlider->minimum(), std::max(m_seekSlider->minimum(), m_seekSlider->maximum()));
}

void CPlayerController::SeekTo(int seconds) const
{
    const int scale = m_seekSlider != nullptr ? m_seekSlider->maximum() : 0;
    Post(WM_PLAYER_SEEK, WPARAM(std::int32_t(seconds)), LPARAM(scale));
}

int CPlayerController::SliderPosition() const
{
    return m_seekSlider != nullptr ? m_seekSlider->value() : 0;
}

void CPlayerController::StepBack()
{
    Step(-1);
}

void CPlayerController::StepForward()
{
    Step(+1);
}

void CPlayerController::Step(int direction)
{
    if (IsOpen())
        m_playing = true;
    const int line = m_seekSlider != nullptr ? m_seekSlider->singleStep() : kSeekLineSize;
    int target = ClampToRange(SliderPosition() + direction * line);
    // Inside the A-B loop a step back stops at A, and a step forward past B starts A again.
    if (m_loopEnabled && (direction < 0 ? target < m_loopStart : target > m_loopEnd))
        target = m_loopStart;
    SeekTo(target);
}

void CPlayerController::SetRepeatTrack(bool repeat)
{
    m_repeatTrack = repeat;
    Post(WM_PLAYER_REPEAT, repeat ? 1 : 0);
}

void CPlayerController::SetLoopPoint(int kind, int seconds)
{
    if (!PlaceLoopPoint(kind, seconds * kMillisecondsPerSecond))
        return;
    // The thread takes the point where the learner is and, at B, goes back to A.
    Post(WM_PLAYER_LOOP, WPARAM(kind));
}

void CPlayerController::OnPlayerLoopPoint(int kind, int milliseconds)
{
    PlaceLoopPoint(kind, milliseconds);
}

bool CPlayerController::PlaceLoopPoint(int kind, int milliseconds)
{
    switch (kind) {
    case kLoopPointA:
        m_loopStartMs = milliseconds;
        m_loopStart = milliseconds / kMillisecondsPerSecond;
        return true;
    case kLoopPointB:
        m_loopEndMs = milliseconds;
        m_loopEnd = milliseconds / kMillisecondsPerSecond;
        m_loopEnabled = true;
        return true;
    case kLoopClear:
        m_loopEnabled = false;
        m_loopStart = m_loopEnd = m_loopStartMs = m_loopEndMs = kNoLoopPoint;
        return true;
    default:
        return false;
    }
}

void CPlayerController::SetTempo(int hundredths)
{
    m_tempo = std::clamp(hundredths, TEMPO_SLOWEST, TEMPO_FASTEST);
    Post(WM_PLAYER_TEMPO, WPARAM(m_tempo));
}

void CPlayerController::SetShadowing(bool pauseAfterPass, int passes)
{
    Post(WM_PLAYER_SHADOW, pauseAfterPass ? 1 : 0, LPARAM(std::max(passes, 0)));
}

QString CPlayerController::NextItem()
{
    ++m_currentIndex;
    m_playing = LoadItem();
    m_title = GetItem(m_currentIndex);
    return m_title;
}

QString CPlayerController::PreviousItem()
{
    if (SliderPosition() >= kPreviousRestartsAt) {
        SeekTo(0);
    } else {
        --m_currentIndex;
        m_playing = LoadItem();
    }
    m_title = GetItem(m_currentIndex);
    return m_title;
}

// ---- notifications ----

void CPlayerController::OnPlayerState(int state)
{
    m_state = state;
    if (state != PLAYER_ENDED)
        return;
    Stop();
    // The list again once its last item has been heard to its end.
    m_lastItem = (m_currentIndex == m_playlist.size() - 1);
    if (m_repeatList && m_lastItem) {
        m_currentIndex = 0;
        m_playing = LoadItem();
        m_title = GetItem(0);
        return;
    }
    NextItem();
}

void CPlayerController::OnPlayerTotal(std::unique_ptr<TrackInfo> info)
{
    if (!info)
        return;
    m_trackInfo = *info;
    const int length = std::max(m_trackInfo.durationSeconds, 0);
    ShowTime(m_lengthLabelId, length);
    if (m_seekSlider != nullptr) {
        m_seekSlider->setRange(0, length);
        m_seekSlider->setValue(0);
    }
    m_trackLength = length;
}

void CPlayerController::OnPlayerPos(int seconds)
{
    if (m_playing) {
        // The seconds are those heard; the loop and the repeats act in the thread, on
        // the sample, and the end of the list on the end of its last item.
        m_lastItem = (m_currentIndex == m_playlist.size() - 1);
        ShowTime(m_posLabelId, seconds);
        if (m_seekSlider != nullptr)
            m_seekSlider->setValue(seconds);
    }
    CountKeepAlive();
}

void CPlayerController::CountKeepAlive()
{
    if (m_keepAliveCounter++ > kKeepAliveAfter) {
        m_keepAliveCounter = 0;
        if (m_keepAlive)
            m_keepAlive();
    }
}

void CPlayerController::OnSliderScroll(WORD code, const QObject* scrollBar)
{
    if (m_seekSlider == nullptr || scrollBar != m_seekSlider)
        return;
    if (code == TB_ENDTRACK) {
        // One second before the thumb, so the word under it is heard again.
        const int target = ClampToRange(m_seekSlider->value() - 1);
        const bool outsideLoop = target < m_loopStart || target > m_loopEnd;
        SeekTo(m_loopEnabled && outsideLoop ? m_loopStart : target);
        m_playing = true;
        ShowTime(m_posLabelId, target);
        return;
    }
    if (m_state == PLAYER_PLAYING)
        Post(WM_PLAYER_PAUSE);
    m_playing = false;
    ShowTime(m_posLabelId, m_seekSlider->value());
}

// ---- time texts ----

QString CPlayerController::FormatTime(int seconds)
{
    const int hours = seconds / kSecondsPerHour;
    const int minutes = (seconds / kSecondsPerMinute) % kSecondsPerMinute;
    const int rest = seconds % kSecondsPerMinute;
    return QString::asprintf("%02d:%02d:%02d", hours, minutes, rest);
}

void CPlayerController::ShowTime(int labelId, int seconds)
{
    if (m_view != nullptr)
        m_view->SetDlgItemText(labelId, FormatTime(seconds));
}
