// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
#include "Win32Defs.h"

// One posted message, as a thread's queue or a window receives it.
struct Message
{
    UINT message = WM_NULL;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};
