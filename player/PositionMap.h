// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Which sample of the recording the listener hears. The playback stream writes the
// recording in stretches (to B, then again from A; a pause of silence; from 0 again
// after the end) and notes where each begins in what it has written; the wave device
// says how much of that has been heard. Kept since the device's last reset.

#include <cstdint>

class CPositionMap
{
public:
    static constexpr int kStretches = 64;

    // From here on the written samples are the recording's from sample at; a pause
    // (advancing false) stays at it.
    void Begin(std::int64_t written, std::int64_t at, bool advancing = true);
    // Everything before was a stretch of its own: starts the map again.
    void Clear(std::int64_t at);
    // The recording's sample heard once this many written samples have been heard.
    std::int64_t RecordingSampleAt(std::int64_t heard) const;
    // Where the stretch that sample lies in begins, in written samples; and whether
    // the recording advances there.
    bool AdvancesAt(std::int64_t heard) const;

private:
    struct Stretch
    {
        std::int64_t written = 0;
        std::int64_t at = 0;
        bool advancing = true;
    };
    const Stretch& StretchAt(std::int64_t heard) const;

    Stretch m_stretches[kStretches];
    int m_first = 0;
    int m_count = 0;
};
