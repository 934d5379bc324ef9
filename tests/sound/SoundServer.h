// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The PulseAudio server the listening tests play on: the one scripts/test starts for
// the run (PULSE_SERVER), or one of the test's own that it may end while something
// plays. Each test plays on a null sink of its own at the recording's format, so
// tests running at once never hear each other, and the server never resamples.

#include "WaitFor.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <unistd.h>

class SoundServer
{
public:
    ~SoundServer()
    {
        QString ignored;
        if (!m_module.isEmpty())
            Pactl({"unload-module", m_module}, ignored);
        End();
    }

    // The run's server. False, with the reason, when there is none to play on.
    bool UseRunServer(QString& reason)
    {
        m_address = qEnvironmentVariable("PULSE_SERVER");
        if (!m_address.isEmpty())
            return Pactl({"info"}, reason);
        const QString why = qEnvironmentVariable("VELLUMDECK_SOUND_SERVER_ERROR");
        reason = "no sound server for the tests: " +
                 (why.isEmpty() ? "PULSE_SERVER is not set (scripts/test starts one)" : why);
        return false;
    }
    // A server of this test's own (scripts/sound-server serve), which End can end.
    bool StartOwn(QString& reason)
    {
        const QString folder = m_ownDir.path() + "/server";
        m_own.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_own.start(VD_SOUND_SERVER_SCRIPT, {"serve", folder});
        if (!m_own.waitForStarted()) {
            reason = "cannot start scripts/sound-server: " + m_own.errorString();
            return false;
        }
        m_address = "unix:" + folder + "/native";
        m_cookie = folder + "/cookie";
        QString lastReason;
        if (WaitFor([&] { return m_own.state() == QProcess::Running && Pactl({"info"}, lastReason); }, kTimeoutMs))
            return true;
        reason = "the test's own sound server did not start: " + lastReason;
        return false;
    }
    // Ends the test's own server, killed as a crash would (SIGKILL) or asked to end
    // (SIGTERM), and waits for it.
    void End(bool kill = true)
    {
        if (m_own.state() == QProcess::NotRunning)
            return;
        // The script has become the server (exec), so this is the server's own pid.
        kill ? m_own.kill() : m_own.terminate();
        if (!m_own.waitForFinished(kTimeoutMs)) {
            m_own.kill();
            m_own.waitForFinished(kTimeoutMs);
        }
    }

    // Loads a null sink of that format to play on; Monitor() records it.
    bool AddSink(unsigned rate, unsigned channels, QString& reason)
    {
        const QString name = QString("vdtest-%1-%2").arg(getpid()).arg(rate);
        // Without rewinds the sink never plays a stretch twice, so its monitor hears
        // exactly what was played.
        if (!Pactl({"load-module", "module-null-sink", "sink_name=" + name, QString("rate=%1").arg(rate),
                    QString("channels=%1").arg(channels), "format=s16le", "norewinds=1"},
                   reason, &m_module))
            return false;
        m_module = m_module.trimmed();
        m_sink = name;
        return true;
    }
    QString Monitor() const { return m_sink + ".monitor"; }
    // What a client of this server needs in its environment (NAME=VALUE): PULSE_SERVER
    // and PULSE_SINK, and SDL told to use its pulseaudio driver. The server takes
    // anonymous clients; its clients keep out of the home folder.
    QStringList Environment() const
    {
        QStringList environment{"PULSE_SERVER=" + m_address, "PULSE_SINK=" + m_sink, "SDL_AUDIODRIVER=pulseaudio"};
        if (!m_cookie.isEmpty())
            environment << "PULSE_COOKIE=" + m_cookie;
        return environment;
    }
    // The same, set for this process.
    void UseInThisProcess() const
    {
        for (const QString& assignment : Environment())
            qputenv(assignment.section('=', 0, 0).toLocal8Bit(), assignment.section('=', 1).toLocal8Bit());
    }

private:
    // For pactl, and for the test's own server to start or end.
    static constexpr int kTimeoutMs = 10000;

    // Runs pactl against this server; false with the reason when it fails.
    bool Pactl(const QStringList& arguments, QString& reason, QString* output = nullptr) const
    {
        QProcess pactl;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PULSE_SERVER", m_address);
        if (!m_cookie.isEmpty())
            environment.insert("PULSE_COOKIE", m_cookie);
        pactl.setProcessEnvironment(environment);
        pactl.start("pactl", arguments);
        if (!pactl.waitForFinished(kTimeoutMs) || pactl.exitStatus() != QProcess::NormalExit ||
            pactl.exitCode() != 0) {
            reason = QString("pactl %1 on %2: %3%4")
                         .arg(arguments.join(' '), m_address, pactl.errorString(),
                              QString::fromLocal8Bit(pactl.readAllStandardError()).trimmed());
            return false;
        }
        if (output)
            *output = QString::fromLocal8Bit(pactl.readAllStandardOutput());
        return true;
    }

    QString m_address;   // unix:PATH
    QString m_cookie;    // for the test's own server
    QString m_sink;
    QString m_module;
    QTemporaryDir m_ownDir;
    QProcess m_own;
};
