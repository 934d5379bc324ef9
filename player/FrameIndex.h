// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where each frame of a recording starts, learnt by reading frame headers ahead of
// the decoder a little at a time: with it a seek lands on the frame that holds the
// wanted sample, exactly, in a file of constant or variable bit rate alike. Frames
// whose version, layer or sample rate differ from the first, or whose bit rate is
// free where the first's is not (or the other way round), are taken for false syncs
// in damaged data and passed over. Used only by the player thread.
//
// In a stream of free bit rate (no rate in its headers) every frame has the rate its
// first frame has. libmad measures a free rate from where the next header lies
// whenever it has lost step, and keeps what it measured for the frames after; left
// to itself, the decoder and the index measure at different places (after a seek,
// at the start of a chunk) and count different frames. Both hold the stream's rate
// instead, and a header of free rate that measures another is a false sync. Where a
// buffer ends less than a frame behind such a header, libmad cannot measure and
// passes it over, where a buffer ending further on would have let it measure: both
// read on first, and have libmad measure it again with more behind it.
//
// libmad takes a buffer it is given for one that starts in step with the stream: a
// header there is taken without the check that the next one follows it, which a
// header found by searching gets. The index and the decoder end their buffers in
// different places, so both tell libmad it is out of step when a new buffer starts
// anywhere but where the last frame taken ends.

#include "File.h"

#include <QString>

#include <mad.h>

#include <cstdint>
#include <vector>

class CFrameIndex
{
public:
    // The free bit rate of a stream and the longest frame it makes; both 0 for a
    // stream whose headers give their rates.
    struct FreeRate
    {
        unsigned long rate = 0;
        std::uint32_t longestFrame = 0;
    };
    static FreeRate FreeRateOf(const mad_header& firstFrame);

    static constexpr std::uint32_t kChunkSize = 32768;
    // As the decoder: this much without a frame ends the stream.
    static constexpr std::uint32_t kMaxSyncSearch = std::uint32_t(16) << 20;

    CFrameIndex() = default;
    ~CFrameIndex() = default;
    CFrameIndex(const CFrameIndex&) = delete;
    CFrameIndex& operator=(const CFrameIndex&) = delete;

    // Starts again for the stream whose first frame is at firstFrame, ending before
    // end. The 4 header bytes of the first frame tell what the others must share;
    // freeRate is its free bit rate, if any.
    // False when the file cannot be opened (the index then stays empty).
    bool Start(const QString& path, std::uint32_t firstFrame, std::uint32_t end,
               const unsigned char* firstHeader, const FreeRate& freeRate);
    void Clear();

    // Reads at most about budget bytes further; true once the whole stream is known.
    bool Extend(std::uint32_t budget);
    bool IsComplete() const { return m_complete; }
    std::size_t Count() const { return m_offsets.size(); }
    std::uint32_t OffsetOf(std::size_t frame) const { return m_offsets[frame]; }

    // Whether these header bytes belong to the same stream as the first frame's.
    static bool SameStream(const unsigned char* a, const unsigned char* b);
    // Whether the header the stream has just decoded is a frame of the stream whose
    // first header and free rate are these.
    static bool OfStream(const unsigned char* firstHeader, const FreeRate& freeRate, const mad_stream& stream,
                         const mad_header& header);
    // Sets the rate libmad gives a header of free rate while in step: the stream's,
    // whatever it measured last.
    static void HoldFreeRate(mad_stream& stream, const FreeRate& freeRate) { stream.freerate = freeRate.rate; }
    // Whether libmad has just passed over a header of this free-rate stream whose rate
    // it could not measure for the end of the buffer; the caller then reads on from
    // the header (next_frame is moved back to it) and has libmad measure it out of
    // step. Only while more of the stream can come.
    static bool StopAtUnmeasuredFreeRate(mad_stream& stream, const unsigned char* firstHeader,
                                         const FreeRate& freeRate);
    // Goes on searching from the byte after the header the stream stopped at, as after
    // a false sync: what lies where that header says its frame ends is not taken.
    static void SearchOnFromNextByte(mad_stream& stream);
    // With the stream's last byte in the buffer: a header whose frame would run past
    // it is no frame (a cut last frame cannot be decoded either), so the search goes
    // on from the byte after it, as after a false sync, rather than waiting for data
    // that will not come. True when it moved the stream on.
    static bool PassFalseSyncAtEnd(mad_stream& stream);

private:
    bool ReadMore();
    void TakeHeaders();

    File m_file;
    std::vector<std::uint32_t> m_offsets;
    unsigned char m_identity[4] = {};
    FreeRate m_freeRate;
    std::uint32_t m_stepAt = 0;         // where the next frame starts while in step
    std::uint32_t m_end = 0;
    std::uint32_t m_readOffset = 0;     // next byte of the file to read
    std::uint32_t m_bufferOffset = 0;   // file offset of m_buffer[0]
    std::uint32_t m_valid = 0;
    std::uint32_t m_lastFrameEnd = 0;   // where the last frame found was
    bool m_atEnd = false;
    bool m_complete = false;
    unsigned char m_buffer[kChunkSize + MAD_BUFFER_GUARD];
};
