// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The PulseAudio server the listening tests play on: the one scripts/test starts for
// the run (PULSE_SERVER), or one of the test's own that it may end while something
// plays. Each test plays on a null sink of its own at the recording's format, so
// tests running at once never hear each other, and the server never resamples.

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class SoundServer
{
public:
    SoundServer() = default;
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    // The run's server. False, with the reason, when there is none to play on.
    bool UseRunServer(QString& reason);
    // A server of this test's own (scripts/sound-server serve), which End can end.
    bool StartOwn(QString& reason);
    // Ends the test's own server, killed as a crash would (SIGKILL) or asked to end
    // (SIGTERM), and waits for it.
    void End(bool kill = true);

    // Loads a null sink of that format to play on; Monitor() records it.
    bool AddSink(unsigned rate, unsigned channels, QString& reason);
    QString Monitor() const { return m_sink + ".monitor"; }
    // What a client of this server needs in its environment (NAME=VALUE): PULSE_SERVER
    // and PULSE_SINK, and SDL told to use its pulseaudio driver.
    QStringList Environment() const;
    // The same, set for this process.
    void UseInThisProcess() const;

private:
    // Runs pactl against this server; false with the reason when it fails.
    bool Pactl(const QStringList& arguments, QString& reason, QString* output = nullptr) const;

    QString m_address;   // unix:PATH
    QString m_cookie;    // for the test's own server
    QString m_sink;
    QString m_module;
    QTemporaryDir m_ownDir;
    QProcess m_own;
};
