// SPDX-License-Identifier: GPL-2.0-or-later
#include "PumpedAudioBackend.h"

#include <cmath>

PumpedAudioBackend::~PumpedAudioBackend()
{
    // A derived backend's Finish is gone by now; each derived destructor closes first.
    m_pump.Stop();
}

bool PumpedAudioBackend::Open(const AudioFormat& format, AudioFeed& feed, std::string& error)
{
    if (!Prepare(format, error))
        return false;
    return m_pump.Start(feed, format, m_speed, [this](const std::uint8_t* pcm, std::size_t size) { Sink(pcm, size); });
}

void PumpedAudioBackend::Close()
{
    m_pump.Stop();
    Finish();
}

bool PumpedAudioBackend::ParseSpeed(const QString& text, double& speed)
{
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value) || value <= 0.0)
        return false;
    speed = value;
    return true;
}
