// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// How the listening tests compare 16-bit PCM: the decoder's own output (a WAV
// capture) against what the sink's monitor recorded, window by window.

#include "HeardPcm.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace HeardCompare {

// 20 ms windows, each of which must be there at 60 dB or better.
constexpr double kWindowSeconds = 0.02;
constexpr double kRequiredDb = 60.0;
// A window quieter than this (dBFS) is judged against a signal this loud, so that a
// difference of the dither's last bit (a decoder that dithered other samples before,
// after a seek) does not fail a near-silent window, while a missing quiet one does:
// speech at -40 dBFS missing is 15 dB.
constexpr double kQuietFloorDbfs = -25.0;
constexpr std::uint32_t kUnityGain = 0xFFFF;
constexpr double kFullScale = 32768.0;
// A sound, not silence or the dither's last bits: where alignment starts looking.
constexpr int kDistinct = 64;
constexpr double kAlignSeconds = 0.02;

// The first frame from `from` on at which `length` frames of `needle` from `at` lie in
// haystack, every sample within tolerance; -1 when nowhere.
inline long Find(const HeardPcm& haystack, std::size_t from, const HeardPcm& needle, std::size_t at,
                 std::size_t length, int tolerance)
{
    const unsigned channels = needle.channels;
    if (channels != haystack.channels || at + length > needle.Frames() || length == 0)
        return -1;
    const auto wanted = needle.samples.begin() + static_cast<long>(at * channels);
    const auto within = [tolerance](std::int16_t a, std::int16_t b) { return std::abs(a - b) <= tolerance; };
    for (std::size_t frame = from; frame + length <= haystack.Frames(); ++frame) {
        if (std::equal(wanted, wanted + static_cast<long>(length * channels),
                       haystack.samples.begin() + static_cast<long>(frame * channels), within))
            return static_cast<long>(frame);
    }
    return -1;
}

// Where the recording holds the reference's first sound: the recording's frame that
// stands for the reference's frame 0, or -1.
inline long Align(const HeardPcm& reference, const HeardPcm& recording)
{
    const auto distinct = std::find_if(reference.samples.begin(), reference.samples.end(),
                                       [](std::int16_t s) { return std::abs(s) >= kDistinct; });
    if (distinct == reference.samples.end())
        return -1;
    const std::size_t start = static_cast<std::size_t>(distinct - reference.samples.begin()) / reference.channels;
    const auto length = std::min<std::size_t>(static_cast<std::size_t>(kAlignSeconds * reference.rate),
                                              reference.Frames() - start);
    const long found = Find(recording, 0, reference, start, length, 0);
    return found < 0 ? -1 : found - static_cast<long>(start);
}

// The first reference frame from `from` on that the recording, reference frame f being
// recording frame f + lag, does not hold exactly; the reference's end when it holds
// them all.
inline std::size_t FirstDifference(const HeardPcm& reference, std::size_t from, const HeardPcm& recording, long lag)
{
    const unsigned channels = reference.channels;
    for (std::size_t f = from; f < reference.Frames(); ++f) {
        const long h = static_cast<long>(f) + lag;
        const auto frame = reference.samples.begin() + static_cast<long>(f * channels);
        if (h < 0 || static_cast<std::size_t>(h) >= recording.Frames() ||
            !std::equal(frame, frame + channels, recording.samples.begin() + h * channels))
            return f;
    }
    return reference.Frames();
}

// The reference's frames [begin, end) against the recording at lag, in windows from
// begin (the last one shorter when it must be); gains multiply each channel of the
// reference first (the program's volume: sample * gain / 0xFFFF, rounded toward zero).
// Empty when every window is there; else how many are not, and where and how badly.
inline std::string Check(const HeardPcm& reference, std::size_t begin, std::size_t end, const HeardPcm& recording,
                         long lag, const std::vector<std::uint32_t>& gains = {})
{
    std::size_t checked = 0;
    std::size_t bad = 0;
    std::size_t firstBad = 0;   // in the reference
    double worstDb = 1e9;
    const unsigned channels = reference.channels;
    const auto window = std::max<std::size_t>(1, static_cast<std::size_t>(kWindowSeconds * reference.rate));
    const double floor = std::pow(kFullScale * std::pow(10.0, kQuietFloorDbfs / 20.0), 2);
    end = std::min(end, reference.Frames());
    for (std::size_t first = begin; first < end; first += window, ++checked) {
        const std::size_t last = std::min(end, first + window);
        double signal = 0;
        double error = 0;
        for (std::size_t f = first; f < last; ++f) {
            const long h = static_cast<long>(f) + lag;
            const bool inside = h >= 0 && static_cast<std::size_t>(h) < recording.Frames();
            for (unsigned c = 0; c < channels; ++c) {
                const std::int64_t sample = reference.At(f, c);
                const double expected = double(gains.empty() ? sample : sample * gains[c] / kUnityGain);
                const double heard = inside ? recording.At(static_cast<std::size_t>(h), c) : 0.0;
                signal += expected * expected;
                error += (heard - expected) * (heard - expected);
            }
        }
        // A window heard exactly counts as far above the goal.
        signal = std::max(signal, floor * double((last - first) * channels));
        const double db = error == 0 ? 2 * kRequiredDb + 60 : 10.0 * std::log10(signal / error);
        worstDb = std::min(worstDb, db);
        if (db < kRequiredDb && bad++ == 0)
            firstBad = first;
    }
    if (bad == 0)
        return {};
    return std::to_string(bad) + " of " + std::to_string(checked) + " windows below the goal, the first at frame " +
           std::to_string(firstBad) + ", the worst at " + std::to_string(worstDb) + " dB";
}

// True when every sample of the recording's frames [begin, end) is silence.
inline bool Silent(const HeardPcm& recording, std::size_t begin, std::size_t end)
{
    const auto samples = recording.samples.begin();
    end = std::min(end, recording.Frames());
    return begin >= end || std::all_of(samples + static_cast<long>(begin * recording.channels),
                                       samples + static_cast<long>(end * recording.channels),
                                       [](std::int16_t s) { return s == 0; });
}

}  // namespace HeardCompare
