// SPDX-License-Identifier: GPL-2.0-or-later
#include "Dither.h"

#include "LittleEndian.h"

namespace {

constexpr std::int64_t kClipHigh = 0x0FFFFFFF;     // just below +1.0
constexpr std::int64_t kClipLow = -0x10000000;     // -1.0
constexpr int kDroppedBits = MAD_F_FRACBITS + 1 - 16;   // 13
constexpr std::int64_t kHalfStep = 1 << (kDroppedBits - 1);
constexpr std::uint32_t kNoiseMask = (1u << kDroppedBits) - 1;
constexpr std::int64_t kKeptMask = ~static_cast<std::int64_t>(kNoiseMask);
constexpr std::uint32_t kRandomMultiplier = 1664525;
constexpr std::uint32_t kRandomIncrement = 1013904223;
constexpr unsigned kBytesPerSample = 2;

DitherState g_channels[Dither::kOutputChannels];

inline std::int16_t QuantiseSample(mad_fixed_t sample, DitherState& state)
{
    // The sums are wide so that a wild sample from a damaged stream clips instead of
    // overflowing; within range they equal the 32-bit fixed-point arithmetic.
    std::int64_t shaped = std::int64_t(sample) + state.error0 - state.error1 + state.error2;
    state.error2 = state.error1;
    state.error1 = state.error0 / 2;

    std::int64_t out = shaped + kHalfStep;
    const auto previous = static_cast<std::uint32_t>(state.random);
    const std::uint32_t next = previous * kRandomMultiplier + kRandomIncrement;
    out += std::int64_t(next & kNoiseMask) - std::int64_t(previous & kNoiseMask);
    state.random = static_cast<std::int32_t>(next);

    if (out > kClipHigh) {
        out = kClipHigh;
        if (shaped > kClipHigh)
            shaped = kClipHigh;
    } else if (out < kClipLow) {
        out = kClipLow;
        if (shaped < kClipLow)
            shaped = kClipLow;
    }
    out &= kKeptMask;
    state.error0 = static_cast<std::int32_t>(shaped - out);
    return static_cast<std::int16_t>(out >> kDroppedBits);
}

}  // namespace

namespace Dither {

DitherState& Channel(int channel)
{
    return g_channels[channel == kRight ? kRight : kLeft];
}

void ResetAll()
{
    for (DitherState& state : g_channels)
        state = DitherState();
}

std::int16_t Quantise(mad_fixed_t sample, DitherState& state)
{
    return QuantiseSample(sample, state);
}

std::uint32_t Convert(const mad_pcm& pcm, unsigned first, unsigned count, bool stereoOutput,
                      unsigned char* destination)
{
    // The states are worked on in locals: stores through the byte pointer could
    // otherwise alias them and force a reload for every sample.
    const mad_fixed_t* left = pcm.samples[0] + first;
    unsigned char* out = destination;
    DitherState leftState = g_channels[kLeft];
    if (!stereoOutput) {
        for (unsigned i = 0; i < count; ++i, out += kBytesPerSample)
            LittleEndian::Write<std::int16_t>(out, QuantiseSample(left[i], leftState));
        g_channels[kLeft] = leftState;
        return static_cast<std::uint32_t>(out - destination);
    }
    const mad_fixed_t* right = pcm.channels > 1 ? pcm.samples[1] + first : left;
    DitherState rightState = g_channels[kRight];
    for (unsigned i = 0; i < count; ++i, out += 2 * kBytesPerSample) {
        LittleEndian::Write<std::int16_t>(out, QuantiseSample(left[i], leftState));
        LittleEndian::Write<std::int16_t>(out + kBytesPerSample, QuantiseSample(right[i], rightState));
    }
    g_channels[kLeft] = leftState;
    g_channels[kRight] = rightState;
    return static_cast<std::uint32_t>(out - destination);
}

}  // namespace Dither
