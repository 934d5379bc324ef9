#include "PlayTool.h"

#include "WaitFor.h"

#include <QProcessEnvironment>

PlayTool::~PlayTool()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished();
    }
}

bool PlayTool::Start(const QString& path, const QStringList& environment)
{
    QProcessEnvironment settings = QProcessEnvironment::systemEnvironment();
    // The stored volume of another run must not scale what it plays.
    settings.insert(QStringLiteral("VELLUMDECK_REGISTRY"), m_settings.filePath(QStringLiteral("registry.ini")));
    for (const QString& assignment : environment) {
        const qsizetype equals = assignment.indexOf(u'=');
        settings.insert(assignment.left(equals), assignment.mid(equals + 1));
    }
    m_process.setProcessEnvironment(settings);
    m_process.start(QStringLiteral(VD_PLAY_TOOL), {path});
    return m_process.waitForStarted();
}

bool PlayTool::Finish(int timeoutMs)
{
    const bool ended = WaitFor(
        [this] {
            Collect();
            return m_process.state() == QProcess::NotRunning;
        },
        timeoutMs);
    if (!ended) {
        m_process.kill();
        m_process.waitForFinished();
    }
    Collect();
    m_exitCode = ended && m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    return ended;
}

bool PlayTool::Capture(const QString& path, const QString& wavPath, int timeoutMs)
{
    return Start(path, {QStringLiteral("VELLUMDECK_AUDIO=wav:") + wavPath}) && Finish(timeoutMs) && m_exitCode == 0;
}

QString PlayTool::Output()
{
    Collect();
    return m_output;
}

QString PlayTool::Errors()
{
    Collect();
    return m_errors;
}

void PlayTool::Collect()
{
    m_output += QString::fromLocal8Bit(m_process.readAllStandardOutput());
    m_errors += QString::fromLocal8Bit(m_process.readAllStandardError());
}
