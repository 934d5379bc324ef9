// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The engine tool (vellumdeck-play) run as a learner's player would be: one recording,
// with a settings file of its own, and the output and environment a test gives it.

#include "WaitFor.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

class PlayTool
{
public:
    ~PlayTool() { Finish(0); }   // a tool that still runs is killed

    // Starts it on path with extra NAME=VALUE settings.
    bool Start(const QString& path, const QStringList& environment)
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
    // Waits until it ends; false when it did not within timeoutMs (it is killed then).
    bool Finish(int timeoutMs)
    {
        const bool ended = WaitFor([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
        if (!ended) {
            m_process.kill();
            m_process.waitForFinished();
        }
        m_exitCode = ended && m_process.exitStatus() == QProcess::NormalExit ? m_process.exitCode() : -1;
        return ended;
    }
    // The decoder's own output for path: played into a WAV capture as fast as it goes.
    bool Capture(const QString& path, const QString& wavPath, int timeoutMs)
    {
        return Start(path, {"VELLUMDECK_AUDIO=wav:" + wavPath}) && Finish(timeoutMs) && m_exitCode == 0;
    }

    // What it has printed so far (all of it once finished).
    QString Output() { return m_output += QString::fromLocal8Bit(m_process.readAllStandardOutput()); }
    QString Errors() { return m_errors += QString::fromLocal8Bit(m_process.readAllStandardError()); }
    int ExitCode() const { return m_exitCode; }

private:
    QTemporaryDir m_settings;
    QProcess m_process;
    QString m_output;
    QString m_errors;
    int m_exitCode = -1;
};
