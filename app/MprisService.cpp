// SPDX-License-Identifier: GPL-2.0-or-later
#include "MprisService.h"

#include "DevicePath.h"
#include "MainFrame.h"
#include "MprisPlayerAdaptor.h"
#include "MprisRootAdaptor.h"
#include "PlayerMessages.h"
#include "VellumdeckApp.h"
#include "VellumdeckView.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QTimer>
#include <QUrl>

namespace {

const QString kPropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
const QString kTrackPathPrefix = QStringLiteral("/org/vellumdeck/track/");

// The player properties that change while it runs (Position is read, never announced).
const QStringList kWatchedProperties{
    QStringLiteral("PlaybackStatus"), QStringLiteral("Metadata"), QStringLiteral("Volume"),
    QStringLiteral("CanGoNext"),      QStringLiteral("CanGoPrevious"), QStringLiteral("CanPlay"),
    QStringLiteral("CanPause"),       QStringLiteral("CanSeek")};

}  // namespace

MprisService::MprisService(CVellumdeckApp* app, const QDBusConnection& connection, QObject* parent)
    : QObject(parent), m_app(app), m_connection(connection)
{
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
}

MprisService::~MprisService()
{
    if (m_name.isEmpty())
        return;
    m_connection.unregisterObject(kObjectPath);
    m_connection.unregisterService(m_name);
}

bool MprisService::Register()
{
    if (!m_connection.isConnected())
        return false;
    if (!m_connection.registerObject(kObjectPath, this))
        return false;
    // MPRIS names further instances by a suffix of their own.
    const QString instanceName =
        kServiceName + QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
    for (const QString& name : {kServiceName, instanceName}) {
        if (m_connection.registerService(name)) {
            m_name = name;
            break;
        }
    }
    if (m_name.isEmpty()) {
        m_connection.unregisterObject(kObjectPath);
        return false;
    }
    m_watch = new QTimer(this);
    connect(m_watch, &QTimer::timeout, this, &MprisService::AnnounceChanges);
    m_watch->start(kWatchIntervalMs);
    return true;
}

CVellumdeckView* MprisService::View() const
{
    CVellumdeckView* view = m_app != nullptr ? m_app->View() : nullptr;
    return view != nullptr && view->IsSetUp() ? view : nullptr;
}

// ---- the application ----

void MprisService::Raise()
{
    if (CMainFrame* frame = m_app->MainFrame())
        frame->BringToFront();
}

void MprisService::Quit()
{
    m_app->OnAppExit();
}

// ---- the transport ----

void MprisService::Play()
{
    if (CVellumdeckView* view = View(); view != nullptr && HasTrack())
        view->OnMediaPlay();
}

void MprisService::Pause()
{
    if (CVellumdeckView* view = View())
        view->OnMediaPause();
}

void MprisService::PlayPause()
{
    if (CVellumdeckView* view = View(); view != nullptr && HasTrack())
        view->OnPlayPause();
}

void MprisService::Stop()
{
    if (CVellumdeckView* view = View(); view != nullptr && HasTrack())
        view->OnStopButton();
}

void MprisService::Next()
{
    if (CVellumdeckView* view = View(); view != nullptr && HasTrack())
        view->OnNext();
}

void MprisService::Previous()
{
    if (CVellumdeckView* view = View(); view != nullptr && HasTrack())
        view->OnPrevious();
}

void MprisService::Seek(qint64 offset)
{
    if (!CanSeek())
        return;
    const qint64 target = std::max<qint64>(0, Position() + offset) / kMicrosecondsPerSecond;
    View()->SeekTo(int(std::min<qint64>(target, View()->SeekSlider().maximum())));
    emit Seeked(Position());
}

void MprisService::SetPosition(const QString& trackId, qint64 position)
{
    // A request for a track that has gone since the desktop asked is ignored, as MPRIS says.
    if (!CanSeek() || trackId != TrackId() || position < 0)
        return;
    const qint64 seconds = position / kMicrosecondsPerSecond;
    if (seconds > View()->SeekSlider().maximum())
        return;
    View()->SeekTo(int(seconds));
    emit Seeked(Position());
}

void MprisService::OpenUri(const QString& uri)
{
    const QUrl url(uri);
    CVellumdeckView* view = View();
    if (view == nullptr || !url.isLocalFile())
        return;
    view->OpenHandedOverFile(QLatin1Char('"') + url.toLocalFile() + QLatin1Char('"'));
}

// ---- what the desktop reads ----

QString MprisService::PlaybackStatus() const
{
    const CVellumdeckView* view = View();
    const int state = view != nullptr ? view->PlayerState() : 0;
    if (state == PLAYER_PLAYING)
        return QStringLiteral("Playing");
    if (state == PLAYER_PAUSED)
        return QStringLiteral("Paused");
    return QStringLiteral("Stopped");
}

bool MprisService::HasTrack() const
{
    CVellumdeckView* view = View();
    return view != nullptr && !view->Controller().GetPlaylist().isEmpty();
}

bool MprisService::CanSeek() const
{
    CVellumdeckView* view = View();
    return view != nullptr && !view->PlayingPath().isEmpty() && view->SeekSlider().maximum() > 0;
}

QString MprisService::TrackId() const
{
    CVellumdeckView* view = View();
    if (view == nullptr || view->PlayingPath().isEmpty())
        return kNoTrack;
    return kTrackPathPrefix + QString::number(view->Controller().GetCurrentIndex());
}

QVariantMap MprisService::Metadata() const
{
    CVellumdeckView* view = View();
    const QString path = view != nullptr ? view->PlayingPath() : QString();
    QVariantMap metadata;
    metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(TrackId())));
    if (path.isEmpty())
        return metadata;
    const qint64 length = qint64(view->Controller().GetTrackLength()) * kMicrosecondsPerSecond;
    metadata.insert(QStringLiteral("mpris:length"), length);
    // The recording's own title, artist and album when its tags have them; else its
    // name (a playlist names its recordings by device paths, with backslashes).
    const RecordingTagInfo& tags = view->PlayingTags();
    const qsizetype separator = std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
    metadata.insert(QStringLiteral("xesam:title"), tags.title.isEmpty() ? path.mid(separator + 1) : tags.title);
    if (!tags.artist.isEmpty())
        metadata.insert(QStringLiteral("xesam:artist"), QStringList{tags.artist});
    if (!tags.album.isEmpty())
        metadata.insert(QStringLiteral("xesam:album"), tags.album);
    if (!tags.coverFile.isEmpty())
        metadata.insert(QStringLiteral("mpris:artUrl"), QUrl::fromLocalFile(tags.coverFile).toString());
    const QFileInfo host(DevicePath::ToHost(path));
    metadata.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(host.absoluteFilePath()).toString());
    return metadata;
}

qint64 MprisService::Position() const
{
    CVellumdeckView* view = View();
    if (view == nullptr || view->PlayingPath().isEmpty())
        return 0;
    return qint64(view->SeekSlider().GetPos()) * kMicrosecondsPerSecond;
}

// The volume slider's top position is the loudest.
double MprisService::Volume() const
{
    const CVellumdeckView* view = View();
    if (view == nullptr)
        return 1.0;
    return double(CVellumdeckView::kVolumeSteps - view->VolumePosition()) / CVellumdeckView::kVolumeSteps;
}

void MprisService::AnnounceChanges()
{
    QVariantMap now;
    now.insert(QStringLiteral("PlaybackStatus"), PlaybackStatus());
    now.insert(QStringLiteral("Metadata"), Metadata());
    now.insert(QStringLiteral("Volume"), Volume());
    const bool hasTrack = HasTrack();
    for (const char* name : {"CanGoNext", "CanGoPrevious", "CanPlay", "CanPause"})
        now.insert(QLatin1String(name), hasTrack);
    now.insert(QStringLiteral("CanSeek"), CanSeek());

    QVariantMap changed;
    for (const QString& name : kWatchedProperties) {
        if (m_announced.value(name) != now.value(name))
            changed.insert(name, now.value(name));
    }
    m_announced = now;
    if (changed.isEmpty())
        return;
    QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, kPropertiesInterface, QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    m_connection.send(signal);
}
