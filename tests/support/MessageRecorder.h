// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A window stand-in for tests: records every WindowMessageEvent it receives, with the
// thread it arrived on, and answers with a result of the test's choosing.

#include "WindowMessage.h"

#include <QThread>
#include <QWidget>

#include <vector>

class MessageRecorder : public QWidget
{
public:
    struct Received { UINT message; WPARAM wParam; LPARAM lParam; QThread* thread; };
    std::vector<Received> received;
    LRESULT answer = 0;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != WindowMessageEvent::EventType())
            return QWidget::event(event);
        auto* message = static_cast<WindowMessageEvent*>(event);
        received.push_back({message->message, message->wParam, message->lParam, QThread::currentThread()});
        message->result = answer;
        return true;
    }
};
