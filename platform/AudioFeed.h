// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The wave device as a backend sees it: the source of the PCM it plays, and the
// place that learns when what it took will be heard.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

class AudioFeed
{
public:
    using Clock = std::chrono::steady_clock;
    // A speed of 0: what is read counts as heard at once (a capture as fast as the
    // disk takes it).
    static constexpr double kHeardAtOnce = 0.0;

    // Copies up to size bytes of queued PCM, with the program's gain applied, into
    // dest. Returns how many; 0 while the device is paused or has nothing queued.
    // The bytes given are heard one after another from heardFrom on, at speed times
    // the format's rate: the backend says when its sound reaches the listener.
    virtual std::size_t Read(std::uint8_t* dest, std::size_t size, Clock::time_point heardFrom,
                             double speed) = 0;
    // Marks every header whose bytes have all been heard by now as done and reports
    // it to the device's owner. A backend calls it at least as often as it reads,
    // and goes on calling it until what it read last has been heard.
    virtual void CompleteHeard() = 0;
    // The output went away for good (its sound server ended, say): every queued header
    // is done at once, nothing more is read, and later writes are refused. reason says
    // what happened, in words for the learner.
    virtual void DeviceLost(const std::string& reason) = 0;

protected:
    ~AudioFeed() = default;
};
