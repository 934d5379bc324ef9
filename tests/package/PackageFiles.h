// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's own output and the files installed beside it, as the package tests read them.

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

inline QString ReadText(const QString& path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

// What the built program writes to standard output for arguments; it ends by itself.
inline QString ProgramOutput(const QStringList& arguments)
{
    QProcess program;
    program.start(QStringLiteral(VD_PROGRAM_PATH), arguments);
    EXPECT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    return QString::fromLocal8Bit(program.readAllStandardOutput());
}
