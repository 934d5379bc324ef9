// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the backends without a sound card share: an AudioPump takes the feed on a
// thread of its own, at a multiple of real time or as fast as the sink takes it. A
// backend of this kind only says where the samples go (Sink) and what its open needs.

#include "AudioBackend.h"
#include "AudioPump.h"

#include <QString>

class PumpedAudioBackend : public AudioBackend
{
public:
    explicit PumpedAudioBackend(double speed) : m_speed(speed) {}
    ~PumpedAudioBackend() override;

    bool Open(const AudioFormat& format, AudioFeed& feed, std::string& error) final;
    void Close() final;
    // A pump that is not woken takes nothing: pausing needs nothing more.
    void Pause() final {}
    void Resume() final { m_pump.Wake(); }
    void Wake() final { m_pump.Wake(); }

    // A positive, finite multiple of real time, or false.
    static bool ParseSpeed(const QString& text, double& speed);

protected:
    // Gets ready for the samples of an open (false, with the reason, when it cannot).
    virtual bool Prepare(const AudioFormat& format, std::string& error) = 0;
    // Takes the samples, on the pump's thread.
    virtual void Sink(const std::uint8_t* pcm, std::size_t size) = 0;
    // After the pump has stopped.
    virtual void Finish() {}

private:
    double m_speed;
    AudioPump m_pump;
};
