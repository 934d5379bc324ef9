// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's command line in the desktop's convention: --help, --version, --zoom N,
// --audio BACKEND and --root DIR (also written --name=VALUE), then the files to open.
// What is left after the options is the command line the program reads, unchanged, so
// a plain or quoted path works as it always has. Qt's own options (-platform, -style,
// ...) are left to the application object, which reads them from the same arguments.
// "--" ends the options, for a file whose name starts with a dash.

#include <QString>
#include <QStringList>

class ProgramOptions
{
public:
    enum class Outcome
    {
        Run,       // start the program
        Exit,      // done already (help or version shown): exit code 0
        Error,     // a bad command line: message on standard error, non-zero exit
    };
    static constexpr int kUsageErrorExitCode = 2;
    static inline const QString kProgramName = QStringLiteral("vellumdeck");

    // Reads arguments (without the program's own name). Never exits the process.
    static ProgramOptions Parse(const QStringList& arguments, const QString& version);

    Outcome GetOutcome() const { return m_outcome; }
    // The text to show: help or version (standard output) or an error (standard error).
    const QString& Message() const { return m_message; }
    // 0 when no --zoom was given.
    int Zoom() const { return m_zoom; }
    const QString& Audio() const { return m_audio; }
    // Absolute; empty when no --root was given.
    const QString& Root() const { return m_root; }
    // The arguments left for the program's own command line: the files to open.
    const QStringList& Files() const { return m_files; }

    // Hands --audio and --root to the services that use them (the audio backend's
    // choice, the device root); an option not given leaves its environment variable
    // in force.
    void Apply() const;

    static QString HelpText(const QString& version);

private:
    // The option at arguments[*index] (and its value); false after a failure.
    bool TakeOption(const QStringList& arguments, qsizetype* index);
    bool TakeValue(const QString& name, const QString& value);
    static bool IsQtOption(const QString& name, bool* takesValue);
    bool Fail(const QString& message);

    Outcome m_outcome = Outcome::Run;
    QString m_message;
    int m_zoom = 0;
    QString m_audio;
    QString m_root;
    QStringList m_files;
};
