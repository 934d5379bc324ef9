#pragma once
// A window that keeps every window message it is sent, in order, for the tests to read.

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

class MessageLog : public QWidget
{
public:
    using QWidget::QWidget;

    std::vector<LoggedMessage> messages;
    // Runs after a message is logged, to act as a parent might.
    std::function<void(UINT)> onMessage;

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
