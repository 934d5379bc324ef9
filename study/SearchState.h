// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where the last text search stopped: one pair for the whole program, shared by every
// pane and every text, so "search again" goes on from the last match.

#include <cstdint>

struct SearchState
{
    // The next search on `line` starts at offset + 1, so before any match on a line
    // the offset is -1 and the search starts at the line's first character.
    static constexpr std::int32_t kBeforeLine = -1;

    std::int32_t line = 0;     // display line of the last match
    std::int32_t offset = kBeforeLine;   // offset of the last match inside that line

    void Reset()
    {
        line = 0;
        offset = kBeforeLine;
    }
};

// The program's one search state.
SearchState& TheSearchState();
