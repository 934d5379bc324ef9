#include "WaitFor.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace {
constexpr int kSliceMs = 20;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, kSliceMs);
    }
    return true;
}
