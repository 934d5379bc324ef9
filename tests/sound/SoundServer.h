#pragma once
// The PulseAudio server the listening tests play on: the one scripts/test starts for
// the run (PULSE_SERVER), or one of the test's own that it may end while something
// plays. Each test plays on a null sink of its own at the recording's format, so
// tests running at once never hear each other, and the server never resamples.

#include <QProcess>
#include <QString>
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

    // Loads a null sink of that format; its monitor is Sink() + ".monitor".
    bool AddSink(unsigned rate, unsigned channels, QString& reason);
    const QString& Sink() const { return m_sink; }
    QString Monitor() const { return m_sink + QStringLiteral(".monitor"); }
    // What a client of this server needs in its environment: PULSE_SERVER and
    // PULSE_SINK, and SDL told to use its pulseaudio driver.
    QStringList Environment() const;
    // The same, set for this process.
    void UseInThisProcess() const;

private:
    bool Answers(QString& reason) const;
    // Runs pactl against this server; its standard output, or empty with the reason.
    bool Pactl(const QStringList& arguments, QString& output, QString& reason) const;

    QString m_address;   // unix:PATH
    QString m_cookie;    // for the test's own server
    QString m_sink;
    QString m_module;
    QTemporaryDir m_ownDir;
    QProcess m_own;
};
