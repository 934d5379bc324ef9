// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The study text a ".vds" recording carries: the text's bytes, then their count as a
// 32-bit little-endian number in the last four bytes of the file.

#include <QString>

#include <vector>

class CEmbeddedText
{
public:
    static constexpr int kTrailerBytes = 4;

    // Reads the text into *text. False when the file does not open or read, is
    // shorter than its trailer, or the trailer claims more than the file holds; then
    // nothing beyond the file is read and *text is left as it was.
    static bool Read(const QString& path, std::vector<char>* text);
};
