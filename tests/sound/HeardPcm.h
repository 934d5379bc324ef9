// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// 16-bit PCM as the listening tests compare it: the decoder's own output (a WAV
// capture) against what the sink's monitor recorded, window by window.

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

struct HeardPcm
{
    unsigned rate = 0;
    unsigned channels = 0;
    std::vector<std::int16_t> samples;   // interleaved

    std::size_t Frames() const { return channels == 0 ? 0 : samples.size() / channels; }
    std::int16_t At(std::size_t frame, unsigned channel) const { return samples[frame * channels + channel]; }

    // A 16-bit WAV file; false when it is not one.
    static bool Load(const QString& path, HeardPcm& pcm);
};

namespace HeardCompare {

// 20 ms windows, each of which must be there at 60 dB or better.
constexpr double kWindowSeconds = 0.02;
constexpr double kRequiredDb = 60.0;
// A window quieter than this (dBFS) is judged against a signal this loud, so that a
// difference of the dither's last bit (a decoder that dithered other samples before,
// after a seek) does not fail a near-silent window, while a missing quiet one does:
// speech at -40 dBFS missing is 15 dB.
constexpr double kQuietFloorDbfs = -25.0;

// The first frame from `from` on at which `length` frames of `needle` from `at` lie in
// haystack, every sample within tolerance; -1 when nowhere.
long Find(const HeardPcm& haystack, std::size_t from, const HeardPcm& needle, std::size_t at,
          std::size_t length, int tolerance);

// Where the recording holds the reference's first sound: the recording's frame that
// stands for the reference's frame 0, or -1.
long Align(const HeardPcm& reference, const HeardPcm& recording);

// The first reference frame from `from` on that the recording, reference frame f being
// recording frame f + lag, does not hold exactly; the reference's end when it holds
// them all.
std::size_t FirstDifference(const HeardPcm& reference, std::size_t from, const HeardPcm& recording, long lag);

// The reference's frames [begin, end) against the recording at lag, in windows from
// begin (the last one shorter when it must be); gains multiply each channel of the
// reference first (the program's volume: sample * gain / 0xFFFF, rounded toward zero).
// Empty when every window is there; else how many are not, and where and how badly.
std::string Check(const HeardPcm& reference, std::size_t begin, std::size_t end, const HeardPcm& recording,
                  long lag, const std::vector<std::uint32_t>& gains = {});

// True when every sample of the recording's frames [begin, end) is silence.
bool Silent(const HeardPcm& recording, std::size_t begin, std::size_t end);

}  // namespace HeardCompare
