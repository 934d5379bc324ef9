// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// org.mpris.MediaPlayer2.Player: the transport. Positions are microseconds; the
// player works in whole seconds.

#include "MprisService.h"

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QVariantMap>

class MprisPlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ HasTrack)
    Q_PROPERTY(bool CanGoPrevious READ HasTrack)
    Q_PROPERTY(bool CanPlay READ HasTrack)
    Q_PROPERTY(bool CanPause READ HasTrack)
    Q_PROPERTY(bool CanSeek READ CanSeek)
    Q_PROPERTY(bool CanControl READ CanControl)
public:
    explicit MprisPlayerAdaptor(MprisService* service);

    QString PlaybackStatus() const { return m_service->PlaybackStatus(); }
    double Rate() const { return 1.0; }
    QVariantMap Metadata() const { return m_service->Metadata(); }
    double Volume() const { return m_service->Volume(); }
    qlonglong Position() const { return m_service->Position(); }
    bool HasTrack() const { return m_service->HasTrack(); }
    bool CanSeek() const { return m_service->CanSeek(); }
    bool CanControl() const { return true; }

public slots:
    void Play() { m_service->Play(); }
    void Pause() { m_service->Pause(); }
    void PlayPause() { m_service->PlayPause(); }
    void Stop() { m_service->Stop(); }
    void Next() { m_service->Next(); }
    void Previous() { m_service->Previous(); }
    void Seek(qlonglong offset) { m_service->Seek(offset); }
    void SetPosition(const QDBusObjectPath& trackId, qlonglong position);
    void OpenUri(const QString& uri) { m_service->OpenUri(uri); }

signals:
    void Seeked(qlonglong position);

private:
    MprisService* m_service;
};
