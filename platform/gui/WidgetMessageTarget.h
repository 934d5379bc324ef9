// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Posting to a window of the user interface: a post becomes a WindowMessageEvent queued
// for the window's thread and handled there in arrival order. Once the window is gone,
// posts fail, and the poster keeps what the message carries.

#include "MessageTarget.h"

#include <QMetaObject>
#include <QPointer>

#include <mutex>

class QObject;

class WidgetMessageTarget : public MessageTarget
{
public:
    explicit WidgetMessageTarget(QObject* target);
    ~WidgetMessageTarget() override;
    WidgetMessageTarget(const WidgetMessageTarget&) = delete;
    WidgetMessageTarget& operator=(const WidgetMessageTarget&) = delete;

    // Safe from any thread.
    bool PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

private:
    void Forget();

    // Held across a post, and taken by the target's destruction before it discards its
    // queued events, so a post never lands on a window that is going away.
    std::mutex m_lock;
    QPointer<QObject> m_target;
    QMetaObject::Connection m_destroyed;
};
