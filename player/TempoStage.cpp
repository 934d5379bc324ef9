// SPDX-License-Identifier: GPL-2.0-or-later
#include "TempoStage.h"

#include <algorithm>
#include <cmath>
#include <limits>

CTempoStage::CTempoStage()
{
    m_touch.setSetting(SETTING_SEQUENCE_MS, kSequenceMs);
    m_touch.setSetting(SETTING_SEEKWINDOW_MS, kSeekWindowMs);
    m_touch.setSetting(SETTING_OVERLAP_MS, kOverlapMs);
    m_touch.setSetting(SETTING_USE_QUICKSEEK, 0);
    m_touch.setSetting(SETTING_USE_AA_FILTER, 0);   // only the tempo changes, never the rate
}

void CTempoStage::Start(int sampleRate, int channels, double tempo)
{
    m_channels = std::max(channels, 1);
    m_touch.setSampleRate(static_cast<unsigned>(sampleRate));
    m_touch.setChannels(static_cast<unsigned>(m_channels));
    m_touch.setTempo(tempo);
    m_touch.clear();
}

void CTempoStage::Clear()
{
    m_touch.clear();
}

// The samples stay in their 16-bit scale as floats: the stretch is linear, and the
// way back needs only rounding and clipping.
void CTempoStage::Put(const std::int16_t* samples, std::uint32_t frames)
{
    const std::size_t count = std::size_t(frames) * m_channels;
    if (m_scratch.size() < count)
        m_scratch.resize(count);
    std::copy(samples, samples + count, m_scratch.begin());
    m_touch.putSamples(m_scratch.data(), frames);
}

void CTempoStage::Flush()
{
    m_touch.flush();
}

std::uint32_t CTempoStage::Take(std::int16_t* out, std::uint32_t frames)
{
    const std::size_t count = std::size_t(frames) * m_channels;
    if (m_scratch.size() < count)
        m_scratch.resize(count);
    const std::uint32_t got = m_touch.receiveSamples(m_scratch.data(), frames);
    constexpr float kLow = std::numeric_limits<std::int16_t>::min();
    constexpr float kHigh = std::numeric_limits<std::int16_t>::max();
    for (std::size_t i = 0; i < std::size_t(got) * m_channels; ++i)
        out[i] = static_cast<std::int16_t>(std::lrint(std::clamp(m_scratch[i], kLow, kHigh)));
    return got;
}
