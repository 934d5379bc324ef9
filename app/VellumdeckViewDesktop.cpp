// SPDX-License-Identifier: GPL-2.0-or-later
// The main view's answers to the desktop: a file handed over by a later start of the
// program, dropped on the window or chosen in the desktop's file dialog, and the media
// keys and media controls of the session. Each goes through the same handler as the
// matching button, so the panel shows what the player does.

#include "VellumdeckView.h"

#include "DevicePath.h"
#include "MessageBox.h"
#include "PlayerMessages.h"
#include "Playlist.h"
#include "WindowMessage.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kMessageCaption = QStringLiteral("Vellumdeck");
constexpr char kNotFound[] = "The file\n%1\ncannot be found.";
constexpr char kEmpty[] = "The file\n%1\nis empty: there is no recording in it.";
constexpr char kNotPlayable[] = "The file\n%1\nis neither a recording nor a playlist: Vellumdeck plays .mp3 and .vds "
                                "recordings and .vdl playlists.";
constexpr char kNoItems[] = "The playlist\n%1\nnames no recording that can be found.";

}  // namespace

bool CVellumdeckView::CanOpen(const QString& path)
{
    const QFileInfo file(DevicePath::ToHost(path));
    const char* fault = nullptr;
    const int kind = Classify(path);
    QStringList items;
    if (kind != MEDIA_NOT_PLAYABLE && !file.isFile())
        fault = kNotFound;
    else if (kind == MEDIA_RECORDING && file.size() == 0)
        fault = kEmpty;
    else if (kind == MEDIA_PLAYLIST && (!FillPlaylist(&items, path) || items.isEmpty()))
        fault = kNoItems;
    else if (kind == MEDIA_NOT_PLAYABLE)
        fault = file.exists() ? kNotPlayable : kNotFound;
    if (fault == nullptr)
        return true;
    MessageBoxW(this, QString::fromLatin1(fault).arg(QDir::toNativeSeparators(file.filePath())), kMessageCaption,
                MB_OK | MB_ICONEXCLAMATION);
    return false;
}

void CVellumdeckView::OpenHandedOverFile(const QString& commandLine)
{
    if (!m_setUp || commandLine.isEmpty())
        return;
    OpenFile(PathFromCommandLine(commandLine));
}

void CVellumdeckView::OpenFile(const QString& path)
{
    if (!m_setUp || m_destroyed || !CanOpen(path))
        return;
    if (m_controller.IsOpen()) {
        m_controller.Stop();
        ResetLoopAndRepeat();
    }
    ShowOpened(m_controller.OpenPath(path));
}

void CVellumdeckView::OnMediaPlay()
{
    if (PlayerState() != PLAYER_PLAYING)
        OnPlayPause();
}

void CVellumdeckView::OnMediaPause()
{
    if (PlayerState() == PLAYER_PLAYING)
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
    if (!m_controller.IsOpen())
        return QString();
    return m_controller.GetPlaylist().value(m_controller.GetCurrentIndex());
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
