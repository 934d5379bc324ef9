#include "SoundServer.h"

#include "WaitFor.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <unistd.h>

namespace {

constexpr int kPactlTimeoutMs = 10000;
constexpr int kServerStartMs = 10000;
constexpr int kServerEndMs = 10000;
constexpr char kRunServerError[] = "VELLUMDECK_SOUND_SERVER_ERROR";

}  // namespace

SoundServer::~SoundServer()
{
    if (!m_module.isEmpty()) {
        QString ignored;
        QString reason;
        Pactl({QStringLiteral("unload-module"), m_module}, ignored, reason);
    }
    End();
}

bool SoundServer::UseRunServer(QString& reason)
{
    m_address = qEnvironmentVariable("PULSE_SERVER");
    if (m_address.isEmpty()) {
        const QString why = qEnvironmentVariable(kRunServerError);
        reason = why.isEmpty() ? QStringLiteral("no sound server for the tests (PULSE_SERVER is not set; "
                                                "scripts/test starts one)")
                               : QStringLiteral("no sound server for the tests: ") + why;
        return false;
    }
    return Answers(reason);
}

bool SoundServer::StartOwn(QString& reason)
{
    if (!m_ownDir.isValid()) {
        reason = QStringLiteral("no temporary folder for a sound server");
        return false;
    }
    const QString folder = m_ownDir.path() + QStringLiteral("/server");
    m_own.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_own.start(QStringLiteral(VD_SOUND_SERVER_SCRIPT), {QStringLiteral("serve"), folder});
    if (!m_own.waitForStarted()) {
        reason = QStringLiteral("cannot start scripts/sound-server: ") + m_own.errorString();
        return false;
    }
    m_address = QStringLiteral("unix:") + folder + QStringLiteral("/native");
    m_cookie = folder + QStringLiteral("/cookie");
    QString lastReason;
    const bool up = WaitFor([&] { return m_own.state() == QProcess::Running && Answers(lastReason); },
                            kServerStartMs);
    if (!up)
        reason = QStringLiteral("the test's own sound server did not start: ") + lastReason;
    return up;
}

void SoundServer::End(bool kill)
{
    if (m_own.state() == QProcess::NotRunning)
        return;
    // The script has become the server (exec), so this is the server's own pid.
    if (kill)
        m_own.kill();
    else
        m_own.terminate();
    if (!m_own.waitForFinished(kServerEndMs)) {
        m_own.kill();
        m_own.waitForFinished(kServerEndMs);
    }
}

bool SoundServer::AddSink(unsigned rate, unsigned channels, QString& reason)
{
    const QString name = QStringLiteral("vdtest-%1-%2").arg(getpid()).arg(rate);
    QString output;
    if (!Pactl({QStringLiteral("load-module"), QStringLiteral("module-null-sink"),
                QStringLiteral("sink_name=") + name, QStringLiteral("rate=%1").arg(rate),
                QStringLiteral("channels=%1").arg(channels), QStringLiteral("format=s16le"),
                // Without rewinds the sink never plays a stretch twice, so its monitor
                // hears exactly what was played.
                QStringLiteral("norewinds=1")},
               output, reason))
        return false;
    m_module = output.trimmed();
    m_sink = name;
    return true;
}

QStringList SoundServer::Environment() const
{
    QStringList environment{QStringLiteral("PULSE_SERVER=") + m_address, QStringLiteral("PULSE_SINK=") + m_sink,
                            QStringLiteral("SDL_AUDIODRIVER=pulseaudio")};
    // The server takes anonymous clients; its clients keep out of the home folder.
    if (!m_cookie.isEmpty())
        environment << QStringLiteral("PULSE_COOKIE=") + m_cookie;
    return environment;
}

void SoundServer::UseInThisProcess() const
{
    for (const QString& assignment : Environment()) {
        const qsizetype equals = assignment.indexOf(u'=');
        qputenv(assignment.left(equals).toLocal8Bit(), assignment.mid(equals + 1).toLocal8Bit());
    }
}

bool SoundServer::Answers(QString& reason) const
{
    QString ignored;
    return Pactl({QStringLiteral("info")}, ignored, reason);
}

bool SoundServer::Pactl(const QStringList& arguments, QString& output, QString& reason) const
{
    QProcess pactl;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PULSE_SERVER"), m_address);
    if (!m_cookie.isEmpty())
        environment.insert(QStringLiteral("PULSE_COOKIE"), m_cookie);
    pactl.setProcessEnvironment(environment);
    pactl.start(QStringLiteral("pactl"), arguments);
    if (!pactl.waitForFinished(kPactlTimeoutMs) || pactl.exitStatus() != QProcess::NormalExit ||
        pactl.exitCode() != 0) {
        reason = QStringLiteral("pactl %1 on %2: %3%4")
                     .arg(arguments.join(u' '), m_address, pactl.errorString(),
                          QString::fromLocal8Bit(pactl.readAllStandardError()).trimmed());
        return false;
    }
    output = QString::fromLocal8Bit(pactl.readAllStandardOutput());
    return true;
}
