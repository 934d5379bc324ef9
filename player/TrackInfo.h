// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
#include <cstdint>

// What the player knows of the open recording; crosses to the view in WM_PLAYER_TOTAL.
struct TrackInfo
{
    std::int32_t durationSeconds = 0;
    std::int32_t kbps = 0;
    std::int32_t sampleRate = 0;
    std::int32_t stereo = 1;
    std::int32_t sixteenBit = 1;
};
