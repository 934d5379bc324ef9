// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The command line as the program reads it: its arguments without the program's own
// name and without the options the program consumed, each enclosed in double quotes
// and separated by a space, the form a Windows CE shell passes ("\My documents\a.vds").

#include <QString>
#include <QStringList>

class CommandLine
{
public:
    // Called once by main with the arguments that remain for the program.
    static void SetArguments(const QStringList& arguments);
    static QStringList Arguments();
    // Empty when there are no arguments.
    static QString GetCommandLineW();
};
