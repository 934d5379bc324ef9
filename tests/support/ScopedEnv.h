// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
#include <QByteArray>
#include <QtGlobal>

// Sets an environment variable for a scope and puts back what was there.
struct ScopedEnv
{
    ScopedEnv(const char* name, const QByteArray& value)
        : name(name), had(qEnvironmentVariableIsSet(name)), previous(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv() { had ? void(qputenv(name, previous)) : void(qunsetenv(name)); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

    const char* name;
    bool had;
    QByteArray previous;
};
