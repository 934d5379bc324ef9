#pragma once
// The wave device as a backend sees it: the source of the PCM it plays and the
// place that hears when the PCM it took has been played.

#include <cstddef>
#include <cstdint>

class AudioFeed
{
public:
    // Copies up to size bytes of queued PCM, with the program's gain applied, into
    // dest. Returns how many; 0 while the device is paused or has nothing queued.
    virtual std::size_t Read(std::uint8_t* dest, std::size_t size) = 0;
    // Marks every header whose bytes have all been read as done and reports it to
    // the device's owner. A backend calls it once the bytes it read are played.
    virtual void CompletePlayed() = 0;

protected:
    ~AudioFeed() = default;
};
