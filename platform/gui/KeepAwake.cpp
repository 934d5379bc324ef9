// SPDX-License-Identifier: GPL-2.0-or-later
#include "KeepAwake.h"

#include <QDBusConnection>
#include <QDBusMessage>

bool KeepAwake::SimulateUserActivity()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    // Sent without waiting for the answer: playback never waits on the desktop.
    const QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, kMethod);
    return bus.send(call);
}
