// SPDX-License-Identifier: GPL-2.0-or-later
#include "FuzzRecording.h"

#include <map>
#include <utility>

namespace {

constexpr int kHeaderBytes = 4;
constexpr std::uint8_t kLayerBits = 0x06;
constexpr std::uint8_t kLayerI = 0x06;
constexpr std::uint8_t kLayerIII = 0x02;
constexpr std::uint8_t kMpeg1Bit = 0x08;   // clear in MPEG-2 and MPEG-2.5
constexpr int kSamplesLayerI = 384;
constexpr int kSamplesLowRateLayerIII = 576;
constexpr int kSamplesOtherwise = 1152;

}  // namespace

FuzzRecording::FuzzRecording() : m_file("recording.mp3") {}

void FuzzRecording::TakeCopies(FuzzedDataProvider& in)
{
    m_copies = in.ConsumeIntegralInRange(1, kMaxCopies);
}

void FuzzRecording::TakeBody(FuzzedDataProvider& in)
{
    m_body = in.ConsumeRemainingBytes<std::uint8_t>();
    m_file.Write(m_body.data(), m_body.size(), m_copies);
}

int FuzzRecording::SamplesPerFrameAt(std::uint32_t offset) const
{
    if (m_body.empty() || std::uint64_t(offset) + kHeaderBytes > Size() || ByteAt(offset) != 0xFF)
        return 0;
    const std::uint8_t second = ByteAt(std::uint64_t(offset) + 1);
    if ((second & kLayerBits) == kLayerI)
        return kSamplesLayerI;
    if ((second & kLayerBits) == kLayerIII && !(second & kMpeg1Bit))
        return kSamplesLowRateLayerIII;
    return kSamplesOtherwise;
}

std::uint8_t* FuzzRecording::Buffer(std::uint32_t bytes, int which)
{
    static std::map<std::pair<std::uint32_t, int>, std::vector<std::uint8_t>> buffers;
    std::vector<std::uint8_t>& buffer = buffers[{bytes, which}];
    buffer.resize(bytes);
    return buffer.data();
}
