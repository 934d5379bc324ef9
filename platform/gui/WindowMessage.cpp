// SPDX-License-Identifier: GPL-2.0-or-later
#include "WindowMessage.h"

#include <QCoreApplication>
#include <QObject>

WindowMessageEvent::WindowMessageEvent(UINT message, WPARAM wParam, LPARAM lParam)
    : QEvent(EventType()), message(message), wParam(wParam), lParam(lParam)
{
}

QEvent::Type WindowMessageEvent::EventType()
{
    // Registered once per process, so every library that links us agrees on the value.
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

LRESULT SendMessageW(QObject* target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (target == nullptr)
        return 0;
    WindowMessageEvent event(message, wParam, lParam);
    QCoreApplication::sendEvent(target, &event);
    return event.result;
}

bool PostMessageW(QObject* target, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (target == nullptr)
        return false;
    // Qt takes ownership of the event and keeps posted events of one receiver in FIFO order
    // at equal priority; events still queued when the receiver dies are discarded with it.
    QCoreApplication::postEvent(target, new WindowMessageEvent(message, wParam, lParam));
    return true;
}
