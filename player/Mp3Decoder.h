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
    // How far the decoder looks for a frame before it gives the file up: far past any
    // tag in front of a recording, and far short of a disk image of zeros, which
    // would otherwise be read to its end, holding up the player thread meanwhile.
    static constexpr std::uint32_t kMaxSyncSearch = std::uint32_t(16) << 20;

    CMp3Decoder();
    ~CMp3Decoder();
    CMp3Decoder(const CMp3Decoder&) = delete;
    CMp3Decoder& operator=(const CMp3Decoder&) = delete;

    void Init();
    bool Open(const QString& path);
    void Close();
    bool Seek(std::int32_t target, std::int32_t scale);
    // Writes up to *byteCount bytes of PCM; *byteCount then holds the bytes written.
    // False at the end of the data or on a read failure; the bytes written in that
    // call are still counted, so the last, partly filled buffer can be played.
    bool Fill(void* destination, std::uint32_t* byteCount);
    bool GetTrackInfo(TrackInfo* info);
    int PositionSeconds() const;

    bool IsOpen() const { return m_file.IsOpen(); }
    const XingInfo& Xing() const { return m_xing; }

private:
    // Open
    bool ScanFirstHeader();
    bool ScanDecode(mad_stream& stream, mad_frame& frame, int* decoded, mad_header* taken);
    bool ParseXing(mad_bitptr ancillary, unsigned int bitLength);
    void EstimateDuration();
    void FillTrackInfo();
    // Fill
    bool DecodeFrame();
    bool RefillStream();
    void CountFrame();
    void SynthesiseFrame();
    // Reading into the read buffer; at the end of the file libmad's guard follows.
    bool ReadFromFile(std::uint32_t* got);
    void FeedStream();
    // Seek
    void SetPositionAt(double fraction);
    double ByteFractionOf(double fraction) const;
    void PrimeAfterSeek();
    // GetTrackInfo
    void RefineDuration();

    File m_file;
    std::uint32_t m_size = 0;
    XingInfo m_xing;
    mad_stream m_stream;
    mad_frame m_frame;
    mad_synth m_synth;
    std::uint32_t m_sampleIndex = 0;
    mad_timer_t m_position;
    mad_timer_t m_duration;
    std::uint32_t m_bitRateSum = 0;
    std::uint32_t m_frameCount = 0;
    TrackInfo m_info;
    unsigned char m_buffer[kReadBufferSize + MAD_BUFFER_GUARD];
    std::uint32_t m_bytesValid = 0;
    bool m_guardAdded = false;   // the file's last byte is in the buffer, guard after it
    std::uint32_t m_readSinceFrame = 0;   // bytes read since the last decoded frame
};
