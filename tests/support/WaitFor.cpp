// SPDX-License-Identifier: GPL-2.0-or-later
#include "WaitFor.h"

#include <QDeadlineTimer>
#include <QTest>

namespace {
// Between two looks at the condition the event loop runs and the thread sleeps, so a
// wait neither spins nor holds up what it waits for.
constexpr int kSliceMs = 5;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QTest::qWait(kSliceMs);
    }
    return true;
}
