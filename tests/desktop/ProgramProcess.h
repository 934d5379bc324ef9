// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The installed program or the engine tool started as a separate process, headless, on
// a temporary device folder and settings file, from a folder of the test's choice.

#include "TempDeviceRoot.h"

#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

class ProgramProcessFixture : public ::testing::Test
{
protected:
    static constexpr int kWaitMs = 20000;
    // More than the WAV header: some of the recording has been written out.
    static constexpr qint64 kPlayedBytes = 100000;

    QProcessEnvironment Environment(const QString& audio) const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QT_QPA_PLATFORM", "offscreen");
        environment.insert("VELLUMDECK_ROOT", m_root.Path());
        environment.insert("VELLUMDECK_REGISTRY", m_root.Path() + "/registry.ini");
        environment.insert("VELLUMDECK_AUDIO", audio);
        environment.insert("VELLUMDECK_ZOOM", "1");
        environment.remove("DBUS_SESSION_BUS_ADDRESS");
        return environment;
    }

    // executable started in folder (a host path) with arguments and the audio output.
    void Start(QProcess* program, const QString& executable, const QString& folder, const QStringList& arguments,
               const QString& audio) const
    {
        program->setProcessEnvironment(Environment(audio));
        program->setWorkingDirectory(folder);
        program->start(executable, arguments);
        ASSERT_TRUE(program->waitForStarted(kWaitMs));
    }

    static void Stop(QProcess* program)
    {
        program->terminate();
        if (!program->waitForFinished(kWaitMs))
            program->kill();
        program->waitForFinished(kWaitMs);
    }

    TempDeviceRoot m_root;
};
