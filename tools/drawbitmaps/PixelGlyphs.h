// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Letters too small for any font to draw crisply, as pixel patterns ('#' set).

#include <QColor>
#include <QPainter>

namespace PixelGlyphs {

inline constexpr const char* kLetterA[] = {
    "..#..",
    ".#.#.",
    "#...#",
    "#...#",
    "#####",
    "#...#",
    "#...#",
    nullptr,
};

inline constexpr const char* kLetterB[] = {
    "####.",
    "#...#",
    "#...#",
    "####.",
    "#...#",
    "#...#",
    "####.",
    nullptr,
};

inline constexpr const char* kDigitOne[] = {
    ".#",
    "##",
    ".#",
    ".#",
    ".#",
    nullptr,
};

// A speaker facing right with one sound wave, and the same speaker silenced.
inline constexpr const char* kSpeakerOn[] = {
    "...#...",
    "..##.#.",
    "####..#",
    "####..#",
    "####..#",
    "..##.#.",
    "...#...",
    nullptr,
};

inline constexpr const char* kSpeakerBody[] = {
    "...#",
    "..##",
    "####",
    "####",
    "####",
    "..##",
    "...#",
    nullptr,
};

inline constexpr const char* kCross[] = {
    "#.#",
    ".#.",
    "#.#",
    nullptr,
};

// Sets the pattern's pixels with the top-left corner at (left, top).
inline void Draw(QPainter& painter, const char* const* pattern, int left, int top,
                 const QColor& colour)
{
    for (int row = 0; pattern[row]; ++row) {
        for (int column = 0; pattern[row][column]; ++column) {
            if (pattern[row][column] == '#')
                painter.fillRect(QRect(left + column, top + row, 1, 1), colour);
        }
    }
}

} // namespace PixelGlyphs
