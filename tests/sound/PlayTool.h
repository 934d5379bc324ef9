// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The engine tool (vellumdeck-play) run as a learner's player would be: one recording,
// with a settings file of its own, and the output and environment a test gives it.

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

class PlayTool
{
public:
    PlayTool() = default;
    ~PlayTool();
    PlayTool(const PlayTool&) = delete;
    PlayTool& operator=(const PlayTool&) = delete;

    // Starts it on path with extra NAME=VALUE settings.
    bool Start(const QString& path, const QStringList& environment);
    // Waits until it ends; false when it did not within timeoutMs (it is killed then).
    bool Finish(int timeoutMs);
    // The decoder's own output for path: played into a WAV capture as fast as it goes.
    bool Capture(const QString& path, const QString& wavPath, int timeoutMs);

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
