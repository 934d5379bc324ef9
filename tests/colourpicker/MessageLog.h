// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shared by the picker's tests: a window that keeps every window message it is sent,
// in order, and the colours of the grid's table.

#include "ColourGrid.h"
#include "WindowMessage.h"

#include <QWidget>

#include <functional>
#include <ostream>
#include <vector>

struct LoggedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const LoggedMessage&) const = default;
};

inline void PrintTo(const LoggedMessage& m, std::ostream* out)
{
    *out << "{0x" << std::hex << m.message << ", 0x" << m.wParam << ", " << std::dec << m.lParam << "}";
}

inline COLORREF TableColour(int index)
{
    return CColourGrid::kColourTable[index].colour;
}

class MessageLog : public QWidget
{
public:
    using QWidget::QWidget;
    std::vector<LoggedMessage> messages;
    std::function<void(UINT)> onMessage;   // runs after a message is logged, to act as a parent might
    const LoggedMessage& Last() const { return messages.back(); }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != WindowMessageEvent::EventType())
            return QWidget::event(event);
        auto* message = static_cast<WindowMessageEvent*>(event);
        messages.push_back({message->message, message->wParam, message->lParam});
        message->result = 1;
        if (onMessage)
            onMessage(message->message);
        return true;
    }
};
