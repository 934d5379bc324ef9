// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Vellumdeck on the session bus as an MPRIS media player (org.mpris.MediaPlayer2), so
// media keys, the desktop's sound menu and its lock screen can play, pause, stop, skip
// and seek. Every request goes to the main view's button handlers; what the desktop
// reads is what the panel shows. Best effort: without a session bus nothing happens.

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

class CVellumdeckApp;
class CVellumdeckView;
class QTimer;

class MprisService : public QObject
{
    Q_OBJECT
public:
    static inline const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
    static inline const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.vellumdeck");
    static inline const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
    static inline const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");
    static inline const QString kDesktopEntry = QStringLiteral("vellumdeck");
    static constexpr qint64 kMicrosecondsPerSecond = 1000000;
    // How often the panel's state is compared with what the desktop was last told.
    static constexpr int kWatchIntervalMs = 250;

    MprisService(CVellumdeckApp* app, const QDBusConnection& connection, QObject* parent = nullptr);
    ~MprisService() override;

    // Claims the player's bus name (a second program on another device root takes a
    // name of its own) and exports the two interfaces. False without a bus.
    bool Register();
    QString RegisteredName() const { return m_name; }

    // ---- org.mpris.MediaPlayer2 ----
    void Raise();
    void Quit();

    // ---- org.mpris.MediaPlayer2.Player ----
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qint64 offset);
    void SetPosition(const QString& trackId, qint64 position);
    void OpenUri(const QString& uri);
    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    qint64 Position() const;
    double Volume() const;
    bool HasTrack() const;
    bool CanSeek() const;

signals:
    void Seeked(qint64 position);

private:
    CVellumdeckView* View() const;
    QString TrackId() const;
    // Tells the bus which player properties differ from the last time.
    void AnnounceChanges();

    CVellumdeckApp* m_app;
    QDBusConnection m_connection;
    QString m_name;
    QTimer* m_watch = nullptr;
    QVariantMap m_announced;
};
