// The main view's answers to the desktop: a file handed over by a later start of the
// program, and the media keys and media controls of the session. Each goes through the
// same handler as the matching button, so the panel shows what the player does.

#include "VellumdeckView.h"

#include "PlayerMessages.h"
#include "WindowMessage.h"

void CVellumdeckView::OpenHandedOverFile(const QString& commandLine)
{
    if (!m_setUp || commandLine.isEmpty())
        return;
    if (m_playerState == PLAYER_PLAYING || m_playerState == PLAYER_PAUSED) {
        m_controller.Stop();
        ResetLoopAndRepeat();
    }
    const QString title = m_controller.OpenPath(PathFromCommandLine(commandLine));
    if (title == CPlayerController::kOpenErrorTitle)
        return;
    LoadStudyTextOf(title);
    EnablePanelButtons();
}

void CVellumdeckView::OnMediaPlay()
{
    if (m_playerState != PLAYER_PLAYING)
        OnPlayPause();
}

void CVellumdeckView::OnMediaPause()
{
    if (m_playerState == PLAYER_PLAYING)
        OnPlayPause();
}

void CVellumdeckView::SeekTo(int seconds)
{
    if (m_seekSlider.maximum() <= 0)
        return;
    m_seekSlider.SetPos(seconds);
    OnHScroll(TB_ENDTRACK, m_seekSlider.GetPos(), &m_seekSlider);
}

QString CVellumdeckView::PlayingPath() const
{
    const CPlayerController& controller = m_controller;
    if (m_playerState != PLAYER_PLAYING && m_playerState != PLAYER_PAUSED)
        return QString();
    return controller.GetPlaylist().value(controller.GetCurrentIndex());
}

const RecordingTagInfo& CVellumdeckView::PlayingTags()
{
    static const RecordingTagInfo kNone;
    const QString path = PlayingPath();
    return path.isEmpty() ? kNone : m_recordingTags.For(path);
}

void CVellumdeckView::ShowRecordingTitle()
{
    if (QWidget* frame = window(); frame != this)
        frame->setWindowTitle(CRecordingTags::WindowTitle(PlayingPath(), PlayingTags()));
}
