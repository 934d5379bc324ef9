// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Turns one MP3 file into dithered 16-bit PCM with libmad: finds the first usable
// header, estimates the duration, seeks by a fraction of it, and fills buffers.
// Used only by the player thread.
//
// The audio lies between the recording's tags (AudioExtent): decoding starts at the
// first frame after the leading tags and ends before the trailing ones, and the
// size-based duration estimate counts only the audio. A frame header is taken for
// the start of the stream only when the next frame's header follows where it ends
// and agrees with it, so the false syncs of a cover picture are passed over.
//
// Positions are also kept in sample frames of the recording: OutputSample is where
// the next sample Fill writes lies. As the frame index learns where frames start, a
// seek lands on the sample it asks for exactly.

#include "AudioExtent.h"
#include "File.h"
#include "FrameIndex.h"
#include "PcmSource.h"
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

class CMp3Decoder final : public PcmSource
{
public:
    static constexpr int kReadBufferSize = 40000;
    // How far the decoder looks for a frame before it gives the file up: far past any
    // tag in front of a recording, and far short of a disk image of zeros, which
    // would otherwise be read to its end, holding up the player thread meanwhile.
    static constexpr std::uint32_t kMaxSyncSearch = std::uint32_t(16) << 20;
    // How much of the file the frame index reads ahead at open, and at most on a seek
    // past what it knows (beyond that a seek estimates, as without an index).
    static constexpr std::uint32_t kIndexAtOpen = 256 * 1024;
    static constexpr std::uint32_t kIndexForSeek = 4 * 1024 * 1024;

    CMp3Decoder();
    ~CMp3Decoder();
    CMp3Decoder(const CMp3Decoder&) = delete;
    CMp3Decoder& operator=(const CMp3Decoder&) = delete;

    void Init();
    bool Open(const QString& path);
    void Close() override;
    bool Seek(std::int32_t target, std::int32_t scale);
    // Writes up to *byteCount bytes of PCM; *byteCount then holds the bytes written.
    // False at the end of the data or on a read failure; the bytes written in that
    // call are still counted, so the last, partly filled buffer can be played.
    bool Fill(void* destination, std::uint32_t* byteCount) override;
    bool GetTrackInfo(TrackInfo* info);
    int PositionSeconds() const;

    // Positions decoding at that sample frame of the recording: exactly when the
    // frame index reaches it (it reads ahead as far as kIndexForSeek for it), else
    // false and nothing changes. A sample past the end means the end.
    bool SeekToSample(std::int64_t sample);
    std::int64_t OutputSample() const { return m_outputSample; }
    std::int64_t DurationSamples() const;
    int SampleRate() const { return m_info.sampleRate; }
    int Channels() const { return m_info.stereo ? 2 : 1; }
    // Lets the frame index read at most about budget bytes further; true once it
    // knows the whole stream.
    bool IndexAhead(std::uint32_t budget);

    bool IsOpen() const { return m_file.IsOpen(); }
    const XingInfo& Xing() const { return m_xing; }
    const AudioExtent& Extent() const { return m_extent; }
    std::uint32_t FirstFrameOffset() const { return m_firstFrame; }
    const CFrameIndex& Index() const { return m_index; }

private:
    // Open
    bool OpenFailed(const QString& path, const QString& reason);
    bool ScanFirstHeader();
    bool ScanDecode(mad_stream& stream, mad_frame& frame, int* decoded, mad_header* taken,
                    const unsigned char* buffer, std::uint32_t bufferOffset);
    bool FollowedByItsStream(const mad_stream& stream, const unsigned char* buffer,
                             std::uint32_t bufferOffset) const;
    bool ParseXing(mad_bitptr ancillary, unsigned int bitLength);
    std::uint32_t AudioBytes() const;
    void EstimateDuration();
    void FillTrackInfo();
    // Fill
    bool DecodeFrame();
    // The next frame of the stream, decoded but not synthesised; false at the end
    // of the data. A frame whose body is damaged comes back too, as silence.
    bool NextFrame();
    enum class FrameResult { Decoded, Damaged, End, Unmeasured };
    // One frame out of the stream's buffer, passing over what libmad recovers from
    // by itself (a lost sync, a header it cannot read): Damaged when the header was
    // read and the body was not, End when the buffer gives no more (the stream's
    // error tells why). A free bit rate is held at the stream's (none: libmad
    // measures it). With the first header and more of the stream to come, a header
    // of free rate that the buffer's end kept libmad from measuring is Unmeasured
    // (see CFrameIndex), and the stream stands at it.
    static FrameResult DecodeInBuffer(mad_stream& stream, mad_frame& frame, const CFrameIndex::FreeRate& freeRate,
                                      const unsigned char* firstHeader, bool moreToCome);
    // The next frame of this stream, whatever became of its data.
    FrameResult DecodeNextHeader();
    bool RefillStream();
    void CountFrame();
    void SynthesiseFrame();
    // Reading into the read buffer; at the end of the audio libmad's guard follows.
    bool ReadFromFile(std::uint32_t* got);
    void FeedStream();
    std::uint32_t FileOffsetOf(const unsigned char* inBuffer) const;
    bool StartReadingAt(std::uint32_t offset);
    // Seek
    void SetPositionAt(double fraction);
    double ByteFractionOf(double fraction) const;
    void PrimeAfterSeek();
    std::size_t FirstPrimingFrame(std::size_t frame) const;
    void SetOutputSample(std::int64_t sample);
    // GetTrackInfo
    void RefineDuration();

    QString m_path;
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
    bool m_guardAdded = false;   // the audio's last byte is in the buffer, guard after it
    std::uint32_t m_readSinceFrame = 0;   // bytes read since the last decoded frame

    AudioExtent m_extent;
    std::uint32_t m_firstFrame = 0;       // file offset of the stream's first frame
    unsigned char m_firstHeader[4] = {};  // its header, which every frame shares
    CFrameIndex::FreeRate m_freeRate;     // its bit rate when that is free
    std::uint32_t m_stepAt = 0;           // where the next frame starts while in step (see CFrameIndex)
    std::uint32_t m_scanRunNext = 0;      // where the scan expects the next frame of its run
    std::uint32_t m_readOffset = 0;       // file offset of the next byte read
    int m_samplesPerFrame = 0;
    bool m_silentFrame = false;           // the frame just decoded was damaged
    std::int64_t m_outputSample = 0;
    std::int64_t m_discard = 0;           // samples to pass over after an exact seek
    CFrameIndex m_index;
};
