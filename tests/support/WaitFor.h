// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Waits for a condition while the event loop runs, instead of sleeping a fixed time.

#include <functional>

constexpr int kDefaultWaitMs = 20000;

// True as soon as condition() holds; false when timeoutMs passes first.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = kDefaultWaitMs);
