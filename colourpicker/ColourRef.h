// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Colours travel as 0x00BBGGRR colour references (the registry, the text pane, the
// picker); these helpers convert them to and from Qt's colours.

#include "Win32Defs.h"

#include <QColor>

// The picker's automatic colour; whoever applies it decides what it stands for.
constexpr COLORREF CLR_DEFAULT = 0xFF000000u;

constexpr COLORREF ColourRefFromRgb(BYTE red, BYTE green, BYTE blue)
{
    return COLORREF(red) | (COLORREF(green) << 8) | (COLORREF(blue) << 16);
}

constexpr BYTE RedOf(COLORREF colour) { return BYTE(colour & 0xFF); }
constexpr BYTE GreenOf(COLORREF colour) { return BYTE((colour >> 8) & 0xFF); }
constexpr BYTE BlueOf(COLORREF colour) { return BYTE((colour >> 16) & 0xFF); }

inline QColor ToQColor(COLORREF colour)
{
    return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

inline COLORREF ToColourRef(const QColor& colour)
{
    return ColourRefFromRgb(BYTE(colour.red()), BYTE(colour.green()), BYTE(colour.blue()));
}
