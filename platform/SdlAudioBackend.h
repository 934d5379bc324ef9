// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The desktop's sound output through SDL2's audio callback. Every device is an SDL
// audio device of its own, so a sound can play over a track.
//
// What SDL's callback hands over is heard some time later: SDL's pulseaudio driver
// asks the server to hold one device period in all (SDL's buffer and the server's
// together), and measured at the sink's monitor a callback's first sample is heard
// about 0.6 of a period after the callback (docs/performance.md). The period
// is about the same time at every rate: short enough that a pause is heard within a
// tenth of a second, long enough that SDL's thread and the server do not wake
// hundreds of times a second.
//
// SDL keeps calling back, filling silence, after the last data, so the last buffer
// comes back once it has been heard. When the output goes away (the server ended),
// SDL marks the device stopped and goes on calling back at the same pace; the feed is
// told at the next call back. Closing returns at once: SDL's thread plays out for two
// periods before it ends, and that wait, and the end of the SDL device, happen on a
// thread of their own.

#include "AudioBackend.h"

#include <SDL2/SDL_audio.h>

#include <QString>

#include <cstddef>
#include <memory>

class SdlAudioBackend final : public AudioBackend
{
public:
    SdlAudioBackend() = default;
    ~SdlAudioBackend() override;

    // Setting: "sdl", with no options; SDL_AUDIODRIVER picks SDL's own driver.
    static std::unique_ptr<AudioBackend> Create(const QString& options, std::string& error);

    bool Open(const AudioFormat& format, AudioFeed& feed, std::string& error) override;
    void Close() override;
    void Pause() override;
    void Resume() override;
    void Wake() override {}

    // The device period SDL is asked for at the given rate: a power of two of sample
    // frames, as SDL's drivers prefer.
    static Uint16 PeriodFrames(DWORD sampleRate);

private:
    static void Callback(void* self, Uint8* stream, int length);
    void Fill(Uint8* stream, std::size_t length);

    // Set at open; cleared, under the SDL device's lock, when closed.
    AudioFeed* m_feed = nullptr;
    SDL_AudioDeviceID m_device = 0;
    Uint8 m_silence = 0;
    AudioFeed::Clock::duration m_heardAfter{};
    bool m_lost = false;   // the callback's own
};
