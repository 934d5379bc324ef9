// SPDX-License-Identifier: GPL-2.0-or-later
#include "CommandLine.h"

#include <mutex>

namespace {

std::mutex g_lock;
QStringList g_arguments;

}  // namespace

void CommandLine::SetArguments(const QStringList& arguments)
{
    const std::lock_guard<std::mutex> guard(g_lock);
    g_arguments = arguments;
}

QStringList CommandLine::Arguments()
{
    const std::lock_guard<std::mutex> guard(g_lock);
    return g_arguments;
}

QString CommandLine::GetCommandLineW()
{
    QStringList quoted;
    for (const QString& argument : Arguments())
        quoted << QLatin1Char('"') + argument + QLatin1Char('"');
    return quoted.join(QLatin1Char(' '));
}
