// SPDX-License-Identifier: GPL-2.0-or-later
#include "SoundServer.h"

#include "WaitFor.h"

#include <QProcessEnvironment>

#include <unistd.h>

namespace {

// For pactl, and for the test's own server to start or end.
constexpr int kTimeoutMs = 10000;

}  // namespace

SoundServer::~SoundServer()
{
    QString ignored;
    if (!m_module.isEmpty())
        Pactl({"unload-module", m_module}, ignored);
    End();
}

bool SoundServer::UseRunServer(QString& reason)
{
    m_address = qEnvironmentVariable("PULSE_SERVER");
    if (!m_address.isEmpty())
        return Pactl({"info"}, reason);
    const QString why = qEnvironmentVariable("VELLUMDECK_SOUND_SERVER_ERROR");
    reason = "no sound server for the tests: " +
             (why.isEmpty() ? "PULSE_SERVER is not set (scripts/test starts one)" : why);
    return false;
}

bool SoundServer::StartOwn(QString& reason)
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

void SoundServer::End(bool kill)
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

bool SoundServer::AddSink(unsigned rate, unsigned channels, QString& reason)
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

QStringList SoundServer::Environment() const
{
    QStringList environment{"PULSE_SERVER=" + m_address, "PULSE_SINK=" + m_sink, "SDL_AUDIODRIVER=pulseaudio"};
    // The server takes anonymous clients; its clients keep out of the home folder.
    if (!m_cookie.isEmpty())
        environment << "PULSE_COOKIE=" + m_cookie;
    return environment;
}

void SoundServer::UseInThisProcess() const
{
    for (const QString& assignment : Environment())
        qputenv(assignment.section('=', 0, 0).toLocal8Bit(), assignment.section('=', 1).toLocal8Bit());
}

bool SoundServer::Pactl(const QStringList& arguments, QString& reason, QString* output) const
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
