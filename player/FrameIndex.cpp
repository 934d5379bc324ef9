// SPDX-License-Identifier: GPL-2.0-or-later
#include "FrameIndex.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr unsigned char kVersionAndLayer = 0x1E;   // second header byte
constexpr unsigned char kSampleRate = 0x0C;        // third header byte
constexpr unsigned char kBitRate = 0xF0;           // third header byte; 0: free
constexpr std::size_t kExpectedFrames = 4096;

}  // namespace

bool CFrameIndex::SameStream(const unsigned char* a, const unsigned char* b)
{
    const bool aFree = (a[2] & kBitRate) == 0;
    const bool bFree = (b[2] & kBitRate) == 0;
    return b[0] == 0xFF && (b[1] & 0xE0) == 0xE0 && (a[1] & kVersionAndLayer) == (b[1] & kVersionAndLayer) &&
           (a[2] & kSampleRate) == (b[2] & kSampleRate) && aFree == bFree;
}

bool CFrameIndex::OfStream(const unsigned char* firstHeader, const FreeRate& freeRate, const mad_stream& stream,
                           const mad_header& header)
{
    return SameStream(firstHeader, stream.this_frame) &&
           (!(header.flags & MAD_FLAG_FREEFORMAT) || header.bitrate == freeRate.rate);
}

CFrameIndex::FreeRate CFrameIndex::FreeRateOf(const mad_header& firstFrame)
{
    if (!(firstFrame.flags & MAD_FLAG_FREEFORMAT) || firstFrame.samplerate == 0)
        return {};
    // As libmad sizes a frame, with the padding slot.
    const unsigned long rate = firstFrame.bitrate;
    const unsigned long samplerate = firstFrame.samplerate;
    unsigned long longest = 0;
    if (firstFrame.layer == MAD_LAYER_I) {
        longest = (12 * rate / samplerate + 1) * 4;
    } else {
        const unsigned long slotsPerFrame =
            (firstFrame.layer == MAD_LAYER_III && (firstFrame.flags & MAD_FLAG_LSF_EXT)) ? 72 : 144;
        longest = slotsPerFrame * rate / samplerate + 1;
    }
    // Past half a chunk a buffer read on holds the frame whole; no longer is waited for.
    return {rate, static_cast<std::uint32_t>(std::min<unsigned long>(longest, kChunkSize / 2))};
}

bool CFrameIndex::StopAtUnmeasuredFreeRate(mad_stream& stream, const unsigned char* firstHeader,
                                           const FreeRate& freeRate)
{
    if (freeRate.longestFrame == 0 || stream.error != MAD_ERROR_LOSTSYNC || !stream.this_frame ||
        stream.bufend - stream.this_frame < 4)
        return false;
    const unsigned char* header = stream.this_frame;
    const bool free = (header[2] & kBitRate) == 0;
    if (!free || !SameStream(firstHeader, header) ||
        stream.bufend - header >= std::ptrdiff_t(freeRate.longestFrame) + MAD_BUFFER_GUARD)
        return false;
    stream.next_frame = header;
    return true;
}

bool CFrameIndex::Start(const QString& path, std::uint32_t firstFrame, std::uint32_t end,
                        const unsigned char* firstHeader, const FreeRate& freeRate)
{
    Clear();
    std::memcpy(m_identity, firstHeader, sizeof(m_identity));
    m_freeRate = freeRate;
    m_end = end;
    m_readOffset = m_bufferOffset = m_lastFrameEnd = m_stepAt = firstFrame;
    m_offsets.reserve(kExpectedFrames);
    if (!m_file.Open(path, File::Access::Read, File::Disposition::OpenExisting) ||
        m_file.Seek(firstFrame, File::Origin::Begin) != firstFrame) {
        m_file.Close();
        m_complete = true;
        return false;
    }
    return true;
}

void CFrameIndex::Clear()
{
    m_file.Close();
    m_offsets.clear();
    m_end = m_readOffset = m_bufferOffset = m_valid = m_lastFrameEnd = 0;
    m_atEnd = false;
    m_stepAt = 0;
    m_complete = false;
}

bool CFrameIndex::Extend(std::uint32_t budget)
{
    std::uint32_t spent = 0;
    while (!m_complete && spent < budget) {
        const std::uint32_t before = m_readOffset;
        if (!ReadMore()) {
            m_complete = true;
            break;
        }
        spent += m_readOffset - before;
        TakeHeaders();
        if ((m_atEnd && m_valid <= MAD_BUFFER_GUARD) || m_readOffset - m_lastFrameEnd > kMaxSyncSearch)
            m_complete = true;
    }
    if (m_complete)
        m_file.Close();
    return m_complete;
}

// Tops the buffer up behind what is left of the last chunk; at the end of the
// stream libmad's guard follows its last byte.
bool CFrameIndex::ReadMore()
{
    if (m_atEnd)
        return m_valid > MAD_BUFFER_GUARD;
    const std::uint32_t wanted = std::min<std::uint32_t>(kChunkSize - m_valid, m_end - m_readOffset);
    std::uint32_t got = 0;
    if (!m_file.Read(m_buffer + m_valid, wanted, &got))
        return false;
    m_valid += got;
    m_readOffset += got;
    if (m_readOffset >= m_end || got < wanted) {
        std::memset(m_buffer + m_valid, 0, MAD_BUFFER_GUARD);
        m_valid += MAD_BUFFER_GUARD;
        m_atEnd = true;
    }
    return true;
}

bool CFrameIndex::PassFalseSyncAtEnd(mad_stream& stream)
{
    if (stream.error != MAD_ERROR_BUFLEN || stream.next_frame != stream.this_frame ||
        stream.bufend - stream.this_frame <= MAD_BUFFER_GUARD)
        return false;
    SearchOnFromNextByte(stream);
    return true;
}

void CFrameIndex::SearchOnFromNextByte(mad_stream& stream)
{
    stream.next_frame = stream.this_frame + 1;
    stream.sync = 0;
}

void CFrameIndex::TakeHeaders()
{
    mad_stream stream;
    mad_header header;
    mad_stream_init(&stream);
    mad_header_init(&header);
    mad_stream_buffer(&stream, m_buffer, m_valid);
    if (m_bufferOffset != m_stepAt)
        stream.sync = 0;
    for (;;) {
        HoldFreeRate(stream, m_freeRate);
        if (mad_header_decode(&header, &stream) == -1) {
            if (!m_atEnd && StopAtUnmeasuredFreeRate(stream, m_identity, m_freeRate))
                break;
            if (MAD_RECOVERABLE(stream.error))
                continue;
            if (m_atEnd && PassFalseSyncAtEnd(stream))
                continue;
            break;   // the rest needs the next chunk
        }
        const auto offset = static_cast<std::uint32_t>(m_bufferOffset + (stream.this_frame - m_buffer));
        if (offset >= m_end)
            break;
        if (!OfStream(m_identity, m_freeRate, stream, header)) {
            // Look again from the next byte, as libmad does when it is not in sync.
            SearchOnFromNextByte(stream);
            continue;
        }
        if (m_offsets.empty() || offset > m_offsets.back())
            m_offsets.push_back(offset);
        m_lastFrameEnd = offset;
        m_stepAt = static_cast<std::uint32_t>(m_bufferOffset + (stream.next_frame - m_buffer));
    }
    // At the very end nothing is kept; otherwise the unread rest starts the next chunk.
    const unsigned char* rest = stream.next_frame ? stream.next_frame : m_buffer;
    if (m_atEnd && stream.error == MAD_ERROR_BUFLEN)
        rest = m_buffer + m_valid;
    const auto consumed = static_cast<std::uint32_t>(rest - m_buffer);
    m_valid -= consumed;
    std::memmove(m_buffer, rest, m_valid);
    m_bufferOffset += consumed;
    mad_header_finish(&header);
    mad_stream_finish(&stream);
}
