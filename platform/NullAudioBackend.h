#pragma once
// Plays into nothing, taking buffers at a multiple of real time: for tests and for
// machines without sound.

#include "AudioBackend.h"
#include "AudioPump.h"

class NullAudioBackend final : public AudioBackend
{
public:
    explicit NullAudioBackend(double speed);
    ~NullAudioBackend() override;

    bool Open(const AudioFormat& format, AudioFeed& feed, std::string& error) override;
    void Close() override;
    void Pause() override {}
    void Resume() override { m_pump.Wake(); }
    void Wake() override { m_pump.Wake(); }

private:
    double m_speed;
    AudioPump m_pump;
};
