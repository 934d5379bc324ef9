#include "NullAudioBackend.h"

NullAudioBackend::NullAudioBackend(double speed) : m_speed(speed) {}

NullAudioBackend::~NullAudioBackend()
{
    Close();
}

bool NullAudioBackend::Open(const AudioFormat& format, AudioFeed& feed, std::string&)
{
    return m_pump.Start(feed, format, m_speed, [](const std::uint8_t*, std::size_t) {});
}

void NullAudioBackend::Close()
{
    m_pump.Stop();
}
