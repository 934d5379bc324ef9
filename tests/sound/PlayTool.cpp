// SPDX-License-Identifier: GPL-2.0-or-later
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
    settings.insert("VELLUMDECK_REGISTRY", m_settings.filePath("registry.ini"));
    for (const QString& assignment : environment)
        settings.insert(assignment.section('=', 0, 0), assignment.section('=', 1));
    m_process.setProcessEnvironment(settings);
    m_process.start(VD_PLAY_TOOL, {path});
    return m_process.waitForStarted();
}

bool PlayTool::Finish(int timeoutMs)
{
    const bool ended = WaitFor([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
    if (!ended) {
        m_process.kill();
        m_process.waitForFinished();
    }
    m_exitCode = ended && m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
    return ended;
}

bool PlayTool::Capture(const QString& path, const QString& wavPath, int timeoutMs)
{
    return Start(path, {"VELLUMDECK_AUDIO=wav:" + wavPath}) && Finish(timeoutMs) && m_exitCode == 0;
}
