// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The five display settings of the study pane, read and written through
// CRegSettings one call each, as the program does: for the registry targets.

#include "Win32Defs.h"

#include <QString>

#include <cstdint>

struct StoredSettings
{
    QString fontName;
    std::int32_t height = 0;
    int bold = 0;
    COLORREF bkColor = 0;
    COLORREF txtColor = 0;

    bool operator==(const StoredSettings&) const = default;

    static StoredSettings Read();
    // True when all five were written.
    bool Write() const;
};
