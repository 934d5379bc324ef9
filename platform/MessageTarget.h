// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where a worker thread posts its notifications: the window of the user interface,
// or a plain queue in tests and tools.

#include "Win32Defs.h"

class MessageTarget
{
public:
    virtual ~MessageTarget() = default;
    // Queues the message for the target's thread; false when it cannot be delivered
    // (the caller then still owns any heap block the message carries).
    virtual bool PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
};
