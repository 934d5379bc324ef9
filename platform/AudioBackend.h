// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// One audio output behind the wave device. Each backend lives in its own file and has
// one line in the table in AudioBackend.cpp, where Create finds it by the setting's
// name. A backend pulls PCM from its feed on a thread of its own and never touches the
// headers itself.

#include "AudioFeed.h"
#include "AudioFormat.h"

#include <memory>
#include <string>

class AudioBackend
{
public:
    virtual ~AudioBackend() = default;

    // Starts pulling from feed. On failure error receives the reason.
    virtual bool Open(const AudioFormat& format, AudioFeed& feed, std::string& error) = 0;
    // Stops pulling; once it returns the feed is never touched again.
    virtual void Close() = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    // Something new may be readable: a header was queued or the device restarted.
    virtual void Wake() = 0;

    // "sdl" (also when empty), "null[:SPEED]" or "wav:PATH[:SPEED]". Null with the
    // reason in error when the setting names no backend.
    static std::unique_ptr<AudioBackend> Create(const std::string& setting, std::string& error);
    // True when setting names a backend and gives it options it takes; else the
    // reason is in error. Nothing is opened.
    static bool IsValidSetting(const std::string& setting, std::string& error);
    // The program's choice (its --audio option), made once at start-up; an empty one
    // leaves VELLUMDECK_AUDIO in force.
    static void SetSetting(const std::string& setting);
    // The setting in force: the choice made with SetSetting, else VELLUMDECK_AUDIO,
    // read at every open.
    static std::string Setting();
    // The setting for the program's sound effects: the same as Setting(), except that
    // a WAV capture takes only the recordings and effects are consumed unheard.
    static std::string EffectsSetting();
};
