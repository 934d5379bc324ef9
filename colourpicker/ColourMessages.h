// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Messages between the colour grid, its picker and the picker's parent. Each carries the
// colour as wParam; lParam is 0 from the grid and the picker's control id from the picker.

#include "WindowMessage.h"

// The highlight in the grid moved; the colour it stands for.
constexpr UINT WM_COLOUR_SELCHANGE = WM_USER + 1001;
// The grid was opened; the picker's colour.
constexpr UINT WM_COLOUR_DROPDOWN = WM_USER + 1002;
// The grid closed; the resulting colour.
constexpr UINT WM_COLOUR_CLOSEUP = WM_USER + 1003;
// The selection ended with a colour.
constexpr UINT WM_COLOUR_SELOK = WM_USER + 1004;
// The selection was cancelled; the colour from before the opening.
constexpr UINT WM_COLOUR_SELCANCEL = WM_USER + 1005;
