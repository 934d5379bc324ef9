#pragma once
// The desktop's sound output through SDL2's audio callback. Every device is an SDL
// audio device of its own, so a sound can play over a track.

#include "AudioBackend.h"

#include <SDL2/SDL_audio.h>

class SdlAudioBackend final : public AudioBackend
{
public:
    SdlAudioBackend() = default;
    ~SdlAudioBackend() override;

    bool Open(const AudioFormat& format, AudioFeed& feed, std::string& error) override;
    void Close() override;
    void Pause() override;
    void Resume() override;
    void Wake() override {}

private:
    static void Callback(void* self, Uint8* stream, int length);

    AudioFeed* m_feed = nullptr;
    SDL_AudioDeviceID m_device = 0;
    Uint8 m_silence = 0;
    AudioFeed::Clock::duration m_latency{};
};
