// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One bookmark: the start of a display line of the study text, remembered as a
// character position, and the first few characters of that line as its label.
// The record is stored by value and, in part, byte for byte in the bookmark file.

#include <QString>

#include <algorithm>
#include <cstdint>

struct BookmarkEntry
{
    static constexpr int kLabelUnits = 6;              // UTF-16 units, always zero-terminated
    static constexpr int kMaxLabelChars = kLabelUnits - 1;

    char16_t label[kLabelUnits] = {};
    std::int32_t position = 0;   // UTF-16 units from the start of the study text

    // The label up to its first zero unit, never reading past the field.
    QString Label() const
    {
        int length = 0;
        while (length < kLabelUnits && label[length] != 0)
            ++length;
        return QString::fromUtf16(label, length);
    }

    // An entry whose label is the first characters of text (at most five).
    static BookmarkEntry Make(const QString& text, std::int32_t position)
    {
        BookmarkEntry entry;
        const int length = int(std::min<qsizetype>(text.size(), kMaxLabelChars));
        for (int i = 0; i < length; ++i)
            entry.label[i] = text.at(i).unicode();
        entry.position = position;
        return entry;
    }
};

static_assert(sizeof(BookmarkEntry) == 16, "a bookmark is a 12-byte label and a 32-bit position");
