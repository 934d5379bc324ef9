// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Fixed-point to 16-bit conversion with noise-shaped, triangular dither. The error
// state of each output channel is process-wide: it starts at zero and carries over
// from one buffer, and one file, to the next. Only the player thread converts.

#include <mad.h>

#include <cstdint>

struct DitherState
{
    std::int32_t error0 = 0;
    std::int32_t error1 = 0;
    std::int32_t error2 = 0;
    std::int32_t random = 0;
};

namespace Dither {

constexpr int kLeft = 0;
constexpr int kRight = 1;
constexpr int kOutputChannels = 2;

// The process-wide state of an output channel (kLeft or kRight).
DitherState& Channel(int channel);
// Back to the state at process start (tests).
void ResetAll();

// One 28-fraction-bit sample to a 16-bit sample, updating the channel's state.
std::int16_t Quantise(mad_fixed_t sample, DitherState& state);

// Converts count sample frames of pcm, starting at sample frame first, to 16-bit
// little-endian samples at destination. stereoOutput writes left then right (a
// single-channel block is duplicated); otherwise only the first channel is written.
// Returns the bytes written.
std::uint32_t Convert(const mad_pcm& pcm, unsigned first, unsigned count, bool stereoOutput,
                      unsigned char* destination);

}  // namespace Dither
