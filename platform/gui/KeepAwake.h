// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Keeps the desktop from going idle while a recording plays: each call tells the
// session's screensaver that the user is active (org.freedesktop.ScreenSaver). Best
// effort: without a session bus, or without a screensaver service on it, nothing happens.

#include <QString>

class KeepAwake
{
public:
    static inline const QString kService = QStringLiteral("org.freedesktop.ScreenSaver");
    static inline const QString kPath = QStringLiteral("/org/freedesktop/ScreenSaver");
    static inline const QString kInterface = QStringLiteral("org.freedesktop.ScreenSaver");
    static inline const QString kMethod = QStringLiteral("SimulateUserActivity");

    // Returns at once; true when the request was handed to the bus.
    static bool SimulateUserActivity();
};
