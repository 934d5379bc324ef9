#pragma once
// Turns one MP3 file into dithered 16-bit PCM with libmad: finds the first usable
// header, estimates the duration, seeks by a fraction of it, and fills buffers.
// Used only by the player thread.

#include "File.h"
#include "TrackInfo.h"

#include <QString>

#include <mad.h>

#include <cstdint>

struct XingInfo
{
    std::uint32_t flags = 0;   // bit 0 frames, bit 1 bytes, bit 2 toc, bit 3 scale; 0: none
    std::uint32_t frames = 0;
    std::uint32_t bytes = 0;
    std::uint8_t toc[100] = {};
    std::int32_t scale = 0;
};

class CMp3Decoder
{
public:
    static constexpr int kReadBufferSize = 40000;

    CMp3Decoder();
    ~CMp3Decoder();
    CMp3Decoder(const CMp3Decoder&) = delete;
    CMp3Decoder& operator=(const CMp3Decoder&) = delete;

    void Init();
    bool Open(const QString& path);
    void Close();
    bool Seek(std::int32_t target, std::int32_t scale);
    bool Fill(void* destination, std::uint32_t* byteCount);
    bool GetTrackInfo(TrackInfo* info);
    int PositionSeconds() const;

    bool IsOpen() const { return m_file.IsOpen(); }
    const XingInfo& Xing() const { return m_xing; }
};
