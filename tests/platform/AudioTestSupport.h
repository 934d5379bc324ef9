#pragma once
// Shared ground for the audio tests: a fresh device root and registry, a message
// queue on the test's thread to receive MM_WOM_DONE, and WAV files made on the spot.

#include "Message.h"
#include "MessageQueue.h"
#include "TempDeviceRoot.h"
#include "WaveOut.h"

#include <QByteArray>
#include <QString>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <vector>

using namespace std::chrono_literals;

class ScopedEnv
{
public:
    ScopedEnv(const char* name, const QByteArray& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
    std::optional<QByteArray> m_previous;
};

WAVEFORMATEX PcmFormat(WORD channels, DWORD rate, WORD bits);

// A RIFF WAVE file; extraChunk (a whole chunk, header included) goes before "data".
QByteArray MakeWav(const WAVEFORMATEX& format, const QByteArray& pcm,
                   const QByteArray& extraChunk = {});
// Little-endian 16-bit samples.
QByteArray Samples16(const std::vector<int>& samples);

QByteArray ReadAll(const QString& path);

class AudioTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens with completions to this thread; null on failure.
    HWAVEOUT Open(const WAVEFORMATEX& format);
    // Resets, unprepares and closes, as the engine does.
    void Close(HWAVEOUT device, std::vector<WAVEHDR>& headers);
    // Prepared headers over equal slices of data.
    std::vector<WAVEHDR> Headers(HWAVEOUT device, QByteArray& data, int count);
    // The next count MM_WOM_DONE messages, fewer if they do not come in time.
    std::vector<Message> WaitForDone(std::size_t count, std::chrono::milliseconds timeout = 5s);
    std::vector<Message> Pending();   // without waiting

    TempDeviceRoot m_root;
};
