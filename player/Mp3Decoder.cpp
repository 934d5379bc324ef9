// SPDX-License-Identifier: GPL-2.0-or-later
#include "Mp3Decoder.h"

#include "Dither.h"
#include "Playlist.h"
#include "MessageBox.h"
#include "SystemError.h"

#include <QFileInfo>

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

constexpr std::uint32_t kScanBufferSize = 8192;
constexpr unsigned long kXingMagic = 0x58696E67;   // "Xing"
constexpr std::uint32_t kXingFrames = 0x1;
constexpr std::uint32_t kXingBytes = 0x2;
constexpr std::uint32_t kXingToc = 0x4;
constexpr std::uint32_t kXingScale = 0x8;
constexpr unsigned kXingTagBits = 64;              // magic and flags
constexpr unsigned kXingFieldBits = 32;
constexpr unsigned kXingTocEntries = 100;
constexpr unsigned kBitsPerByte = 8;
constexpr unsigned kBytesPerSample = 2;
constexpr unsigned long kBitsPerKbit = 1000;
constexpr unsigned long kBytesPerSecondPerKbps = kBitsPerKbit / kBitsPerByte;   // 125
constexpr int kPrimingFrames = 2;
constexpr double kPercent = 100.0;
constexpr double kTocEnd = 256.0;
constexpr unsigned long kMillisecondsPerSecond = 1000;
// An exact seek decodes from far enough back that the bit reservoir of the wanted
// frame is there (at most 511 bytes in MPEG-1), and at least the two frames that
// the synthesis filter and the overlap need; never more frames than this.
constexpr std::uint32_t kReservoirReach = 1024;
constexpr std::size_t kMostPrimingFrames = 24;
// libmad's errors in a frame whose header it could read.
constexpr int kFrameBodyErrors = 0x0200;
constexpr int kErrorClass = 0xff00;

const char* const kErrorCaption = "Error";
const char* const kNoAudioText = "It holds no MP3 audio.";
const char* const kEmptyText = "The file is empty.";

std::uint32_t ClampedSize(std::int64_t size)
{
    if (size < 0)
        return 0;
    return static_cast<std::uint32_t>(
        std::min<std::int64_t>(size, std::numeric_limits<std::uint32_t>::max()));
}

// Counts off bits of the ancillary data; false when fewer remain.
bool TakeBits(unsigned int* bitLength, unsigned int bits)
{
    if (*bitLength < bits)
        return false;
    *bitLength -= bits;
    return true;
}

}  // namespace

CMp3Decoder::CMp3Decoder()
{
    Init();
}

CMp3Decoder::~CMp3Decoder()
{
    Close();
}

void CMp3Decoder::Init()
{
    Close();
    m_size = 0;
    m_info = TrackInfo();
    m_xing = XingInfo();
    m_sampleIndex = 0;
    m_position = mad_timer_zero;
    m_duration = mad_timer_zero;
    m_bitRateSum = 0;
    m_frameCount = 0;
    m_bytesValid = 0;
    m_guardAdded = false;
    m_readSinceFrame = 0;
    m_extent = AudioExtent();
    m_firstFrame = 0;
    m_readOffset = 0;
    m_samplesPerFrame = 0;
    m_freeRate = CFrameIndex::FreeRate();
    m_stepAt = 0;
    m_silentFrame = false;
    m_outputSample = 0;
    m_discard = 0;
}

bool CMp3Decoder::Open(const QString& path)
{
    Close();
    if (!m_file.Open(path, File::Access::Read, File::Disposition::OpenExisting))
        return OpenFailed(path, SystemError::Text(SystemError::Last()));
    m_path = path;
    m_size = ClampedSize(m_file.Size());
    m_extent = CAudioExtent::Measure(m_file, m_size, HasStudyTextInside(path));
    mad_stream_init(&m_stream);
    mad_frame_init(&m_frame);
    mad_synth_init(&m_synth);
    if (!ScanFirstHeader()) {
        Close();
        return OpenFailed(path, QString::fromLatin1(m_size == 0 ? kEmptyText : kNoAudioText));
    }
    m_samplesPerFrame = static_cast<int>(32 * MAD_NSBSAMPLES(&m_frame.header));
    m_freeRate = CFrameIndex::FreeRateOf(m_frame.header);

    m_synth.pcm.length = 0;
    m_sampleIndex = 0;
    m_position = mad_timer_zero;
    m_outputSample = 0;
    m_discard = 0;
    EstimateDuration();
    m_bitRateSum = 0;
    m_frameCount = 0;
    FillTrackInfo();
    // Decoding starts again at the first frame with an empty stream.
    StartReadingAt(m_firstFrame);
    m_index.Start(path, m_firstFrame, m_extent.end, m_firstHeader, m_freeRate);
    m_index.Extend(kIndexAtOpen);
    return true;
}

// The learner is told which file could not be played, and why.
bool CMp3Decoder::OpenFailed(const QString& path, const QString& reason)
{
    const QString text = QStringLiteral("Cannot play \"%1\":\n%2").arg(QFileInfo(path).fileName(), reason);
    MessageBoxW(nullptr, text, QString::fromLatin1(kErrorCaption), MB_ICONINFORMATION);
    return false;
}

void CMp3Decoder::Close()
{
    if (!m_file.IsOpen())
        return;
    m_file.Close();
    m_index.Clear();
    mad_frame_finish(&m_frame);
    mad_stream_finish(&m_stream);
}

// ---- Open: the first usable header ------------------------------------------------

bool CMp3Decoder::ScanFirstHeader()
{
    unsigned char scratch[kScanBufferSize + MAD_BUFFER_GUARD];
    mad_stream stream;
    mad_frame frame;
    mad_stream_init(&stream);
    mad_frame_init(&frame);
    m_xing = XingInfo();

    std::uint32_t scratchOffset = m_extent.start;   // file offset of scratch[0]
    std::uint32_t readOffset = m_extent.start;
    std::uint32_t valid = 0;
    bool atEnd = m_file.Seek(readOffset, File::Origin::Begin) != readOffset;
    int decoded = 0;
    mad_header taken{};
    bool found = false;
    m_scanRunNext = UINT32_MAX;
    while (!atEnd && readOffset - m_extent.start < kMaxSyncSearch) {
        const std::uint32_t wanted = std::min(kScanBufferSize - valid, m_extent.end - readOffset);
        std::uint32_t got = 0;
        if (!m_file.Read(scratch + valid, wanted, &got) || (got == 0 && valid == 0))
            break;
        valid += got;
        readOffset += got;
        if (readOffset >= m_extent.end || got < wanted) {
            // The audio ends here: the guard lets libmad decode its last frame.
            std::memset(scratch + valid, 0, MAD_BUFFER_GUARD);
            valid += MAD_BUFFER_GUARD;
            atEnd = true;
        }
        mad_stream_buffer(&stream, scratch, valid);
        if (ScanDecode(stream, frame, &decoded, &taken, scratch, scratchOffset)) {
            found = true;
            break;
        }
        if (stream.error != MAD_ERROR_BUFLEN || !stream.next_frame)
            break;
        // Keep the start of an incomplete frame and top the buffer up behind it.
        scratchOffset += static_cast<std::uint32_t>(stream.next_frame - scratch);
        valid = static_cast<std::uint32_t>(scratch + valid - stream.next_frame);
        std::memmove(scratch, stream.next_frame, valid);
    }
    if (found)
        m_frame.header = taken;
    mad_frame_finish(&frame);
    mad_stream_finish(&stream);
    return found;
}

// Decodes from the scratch stream until a header is taken (true) or libmad needs
// something it cannot get from this buffer (false, the stream's error tells what).
bool CMp3Decoder::ScanDecode(mad_stream& stream, mad_frame& frame, int* decoded, mad_header* taken,
                             const unsigned char* buffer, std::uint32_t bufferOffset)
{
    for (;;) {
        const FrameResult result = DecodeInBuffer(stream, frame, CFrameIndex::FreeRate(), nullptr, false);
        if (result == FrameResult::End)
            return *decoded > 0;   // the last decoded frame's header
        // A frame whose data could not be decoded (its reservoir lies before it, say)
        // still belongs to the run of frames that the stream starts with.
        const bool bodyOnly = result == FrameResult::Damaged;
        if (!FollowedByItsStream(stream, buffer, bufferOffset)) {
            // A false sync: look again from the byte after it. Frames taken before it
            // in the same run were false too.
            stream.next_frame = stream.this_frame + 1;
            stream.sync = 0;
            *decoded = 0;
            m_scanRunNext = UINT32_MAX;
            continue;
        }
        // The stream starts with the first frame of the run that its header is taken
        // from; a frame that does not follow the last one starts a run of its own.
        const auto at = bufferOffset + static_cast<std::uint32_t>(stream.this_frame - buffer);
        if (at != m_scanRunNext) {
            *decoded = 0;
            m_firstFrame = at;
            std::memcpy(m_firstHeader, stream.this_frame, sizeof(m_firstHeader));
        }
        m_scanRunNext = bufferOffset + static_cast<std::uint32_t>(stream.next_frame - buffer);
        if (bodyOnly)
            continue;
        ++*decoded;
        *taken = frame.header;
        // A Xing header sits in the first frame; without one the second frame is
        // taken, as the first may be some other encoder's header frame.
        if (*decoded > 1 || ParseXing(stream.anc_ptr, stream.anc_bitlen))
            return true;
    }
}

// A frame is taken for one when the next frame's header follows where it ends and
// belongs to the same stream, or when it is the last frame of the audio.
bool CMp3Decoder::FollowedByItsStream(const mad_stream& stream, const unsigned char* buffer,
                                      std::uint32_t bufferOffset) const
{
    const auto next = bufferOffset + static_cast<std::uint32_t>(stream.next_frame - buffer);
    if (next >= m_extent.end)
        return true;
    if (stream.bufend - stream.next_frame < 4)
        return false;
    return CFrameIndex::SameStream(stream.this_frame, stream.next_frame);
}

bool CMp3Decoder::ParseXing(mad_bitptr ancillary, unsigned int bitLength)
{
    m_xing = XingInfo();   // a header that does not parse counts as none
    if (bitLength < kXingTagBits || mad_bit_read(&ancillary, kXingFieldBits) != kXingMagic)
        return false;
    XingInfo xing;
    xing.flags = static_cast<std::uint32_t>(mad_bit_read(&ancillary, kXingFieldBits));
    bitLength -= kXingTagBits;

    if (xing.flags & kXingFrames) {
        if (!TakeBits(&bitLength, kXingFieldBits))
            return false;
        xing.frames = static_cast<std::uint32_t>(mad_bit_read(&ancillary, kXingFieldBits));
    }
    if (xing.flags & kXingBytes) {
        if (!TakeBits(&bitLength, kXingFieldBits))
            return false;
        xing.bytes = static_cast<std::uint32_t>(mad_bit_read(&ancillary, kXingFieldBits));
    }
    if (xing.flags & kXingToc) {
        if (!TakeBits(&bitLength, kXingTocEntries * kBitsPerByte))
            return false;
        for (std::uint8_t& entry : xing.toc)
            entry = static_cast<std::uint8_t>(mad_bit_read(&ancillary, kBitsPerByte));
    }
    if (xing.flags & kXingScale) {
        if (!TakeBits(&bitLength, kXingFieldBits))
            return false;
        xing.scale = static_cast<std::int32_t>(mad_bit_read(&ancillary, kXingFieldBits));
    }
    m_xing = xing;
    return true;
}

// The bytes of the stream itself: neither the tags around it nor what comes before
// its first frame.
std::uint32_t CMp3Decoder::AudioBytes() const
{
    return m_extent.end > m_firstFrame ? m_extent.end - m_firstFrame : 0;
}

// Without scanning the file: from the Xing frame count, or from the size of the
// audio and the bit rate of the header.
void CMp3Decoder::EstimateDuration()
{
    if (m_xing.flags & kXingFrames) {
        m_duration = m_frame.header.duration;
        mad_timer_multiply(&m_duration, static_cast<signed long>(m_xing.frames));
        return;
    }
    mad_timer_set(&m_duration, 0, 1, m_frame.header.bitrate / kBitsPerByte);
    mad_timer_multiply(&m_duration, static_cast<signed long>(AudioBytes()));
}

void CMp3Decoder::FillTrackInfo()
{
    m_info.durationSeconds = static_cast<std::int32_t>(mad_timer_count(m_duration, MAD_UNITS_SECONDS));
    m_info.kbps = static_cast<std::int32_t>(m_frame.header.bitrate / kBitsPerKbit);
    m_info.sampleRate = static_cast<std::int32_t>(m_frame.header.samplerate);
    m_info.stereo = m_frame.header.mode != MAD_MODE_SINGLE_CHANNEL ? 1 : 0;
    m_info.sixteenBit = 1;
}

// ---- Fill -------------------------------------------------------------------------

bool CMp3Decoder::Fill(void* destination, std::uint32_t* byteCount)
{
    const bool stereo = m_info.stereo != 0;
    std::uint32_t wanted = (*byteCount / kBytesPerSample) >> (stereo ? 1 : 0);
    *byteCount = 0;
    if (!IsOpen())
        return false;
    auto* out = static_cast<unsigned char*>(destination);
    while (wanted > 0) {
        std::uint32_t available =
            m_synth.pcm.length > m_sampleIndex ? m_synth.pcm.length - m_sampleIndex : 0;
        if (m_discard > 0 && available > 0) {
            // The samples of the sought frame before the sought one.
            const auto skip = static_cast<std::uint32_t>(std::min<std::int64_t>(m_discard, available));
            m_sampleIndex += skip;
            m_discard -= skip;
            available -= skip;
        }
        const std::uint32_t n = std::min(wanted, available);
        if (n > 0) {
            *byteCount += Dither::Convert(m_synth.pcm, m_sampleIndex, n, stereo, out + *byteCount);
            m_sampleIndex += n;
            m_outputSample += n;
            wanted -= n;
            if (wanted == 0)
                break;
        }
        // At the end of the data byteCount still tells what this call converted, so
        // the caller can play the last, partly filled buffer.
        if (!DecodeFrame())
            return false;
    }
    return true;
}

bool CMp3Decoder::DecodeFrame()
{
    if (!NextFrame())
        return false;
    CountFrame();
    SynthesiseFrame();
    return true;
}

bool CMp3Decoder::NextFrame()
{
    for (;;) {
        const FrameResult result = DecodeNextHeader();
        if (result == FrameResult::End)
            return false;
        // A frame whose data is damaged plays as silence, so that the time of every
        // later frame stays what the index says. One whose bit reservoir lies before
        // the stream (a recording cut out of a longer one) is passed over, as every
        // decoder does; seeks in such a file land that many frames late.
        m_silentFrame = result == FrameResult::Damaged;
        if (!m_silentFrame || m_stream.error != MAD_ERROR_BADDATAPTR)
            return true;
    }
}

// Frames of other streams (syncs in damaged data) are passed over: the search goes on
// from the byte after one, as the frame index's does, so that what plays is the
// frames the index counts, not what lies where a false header says its frame ends.
CMp3Decoder::FrameResult CMp3Decoder::DecodeNextHeader()
{
    for (;;) {
        const FrameResult result = DecodeInBuffer(m_stream, m_frame, m_freeRate, m_firstHeader, !m_guardAdded);
        if (result == FrameResult::Decoded || result == FrameResult::Damaged) {
            if (CFrameIndex::OfStream(m_firstHeader, m_freeRate, m_stream, m_frame.header)) {
                // A layer's decoder may drop out of step over a body it refuses (Debian's
                // libmad does, with a lost sync, where the body would run past the frame);
                // the header was read in step, and the frame index, which reads headers
                // only, goes on in step from where it ends: so does the decoder.
                if (result == FrameResult::Damaged)
                    m_stream.sync = 1;
                m_stepAt = FileOffsetOf(m_stream.next_frame);
                return result;
            }
            CFrameIndex::SearchOnFromNextByte(m_stream);
            continue;
        }
        if (m_guardAdded && CFrameIndex::PassFalseSyncAtEnd(m_stream))
            continue;
        if (!RefillStream())
            return FrameResult::End;
    }
}

CMp3Decoder::FrameResult CMp3Decoder::DecodeInBuffer(mad_stream& stream, mad_frame& frame,
                                                     const CFrameIndex::FreeRate& freeRate,
                                                     const unsigned char* firstHeader, bool moreToCome)
{
    for (;;) {
        CFrameIndex::HoldFreeRate(stream, freeRate);
        if (mad_frame_decode(&frame, &stream) != -1)
            return FrameResult::Decoded;
        if ((stream.error & kErrorClass) == kFrameBodyErrors)
            return FrameResult::Damaged;
        // A layer's decoder may refuse, with an error of the header's class, a frame
        // whose header libmad has read and sized (a free-rate frame of another layer):
        // the frame index counts such a header as a frame and judges it by its
        // stream, so the caller judges it too, rather than searching on from where
        // that header says its frame ends and passing over the frames in between.
        if (MAD_RECOVERABLE(stream.error) && stream.this_frame && stream.next_frame > stream.this_frame + 1)
            return FrameResult::Damaged;
        if (moreToCome && firstHeader && CFrameIndex::StopAtUnmeasuredFreeRate(stream, firstHeader, freeRate))
            return FrameResult::Unmeasured;
        if (!MAD_RECOVERABLE(stream.error))
            return FrameResult::End;
    }
}

bool CMp3Decoder::RefillStream()
{
    const std::uint32_t resumeAt = FileOffsetOf(m_stream.next_frame ? m_stream.next_frame : m_buffer);
    if (m_stream.next_frame) {
        const auto* end = m_buffer + m_bytesValid;
        m_bytesValid = static_cast<std::uint32_t>(end - m_stream.next_frame);
        std::memmove(m_buffer, m_stream.next_frame, m_bytesValid);
    }
    // After the guard nothing more can come; a buffer full of one undecodable
    // stretch cannot make progress either. The stream always gets the moved bytes,
    // so that a later call finds it consistent with the buffer.
    bool more = !m_guardAdded && m_bytesValid < static_cast<std::uint32_t>(kReadBufferSize);
    std::uint32_t got = 0;
    if (more)
        more = ReadFromFile(&got);
    FeedStream();
    if (resumeAt != m_stepAt)
        m_stream.sync = 0;
    // A long stretch without any frame ends the data as the end of the file would.
    m_readSinceFrame += got;
    return more && m_readSinceFrame < kMaxSyncSearch;
}

void CMp3Decoder::CountFrame()
{
    const auto kbps = static_cast<std::uint32_t>(m_frame.header.bitrate / kBitsPerKbit);
    m_bitRateSum += kbps;
    ++m_frameCount;
    m_readSinceFrame = 0;
    m_info.kbps = static_cast<std::int32_t>(kbps);
}

void CMp3Decoder::SynthesiseFrame()
{
    if (m_silentFrame)
        std::memset(m_frame.sbsample, 0, sizeof(m_frame.sbsample));
    mad_synth_frame(&m_synth, &m_frame);
    m_sampleIndex = 0;
    mad_timer_add(&m_position, m_frame.header.duration);
}

// Appends to the valid bytes, never past the audio's end. libmad decodes a frame only
// when MAD_BUFFER_GUARD bytes follow it, so once the last byte is in, that many zeros
// go after it.
bool CMp3Decoder::ReadFromFile(std::uint32_t* got)
{
    const std::uint32_t left = m_extent.end > m_readOffset ? m_extent.end - m_readOffset : 0;
    const std::uint32_t wanted = std::min(kReadBufferSize - m_bytesValid, left);
    const bool ok = m_file.Read(m_buffer + m_bytesValid, wanted, got);
    m_bytesValid += *got;
    m_readOffset += *got;
    if (ok && (*got < wanted || m_readOffset >= m_extent.end)) {
        std::memset(m_buffer + m_bytesValid, 0, MAD_BUFFER_GUARD);
        m_bytesValid += MAD_BUFFER_GUARD;
        m_guardAdded = true;
    }
    return ok;
}

void CMp3Decoder::FeedStream()
{
    mad_stream_buffer(&m_stream, m_buffer, m_bytesValid);
}

// The file offset of a byte of the read buffer (the guard, once there, lies past
// the audio's end).
std::uint32_t CMp3Decoder::FileOffsetOf(const unsigned char* inBuffer) const
{
    const std::uint32_t fromFile = m_bytesValid - (m_guardAdded ? MAD_BUFFER_GUARD : 0);
    return m_readOffset - fromFile + static_cast<std::uint32_t>(inBuffer - m_buffer);
}

// Empties the read buffer and moves the file to offset; the next read starts there.
// libmad's bit reservoir is emptied too: what it kept belongs to where decoding was,
// and frames decoded from it here would play what came before the jump.
bool CMp3Decoder::StartReadingAt(std::uint32_t offset)
{
    m_bytesValid = 0;
    m_guardAdded = false;
    m_readSinceFrame = 0;
    m_readOffset = offset;
    m_stepAt = offset;
    m_stream.md_len = 0;
    return m_file.Seek(offset, File::Origin::Begin) >= 0;
}

// ---- Seek -------------------------------------------------------------------------

bool CMp3Decoder::Seek(std::int32_t target, std::int32_t scale)
{
    if (!IsOpen() || target < 0 || scale < 1)
        return false;
    // A target past the end means the end.
    const double fraction = std::min(static_cast<double>(target) / scale, 1.0);
    if (SeekToSample(static_cast<std::int64_t>(fraction * static_cast<double>(DurationSamples()))))
        return true;
    // Past what the index knows: the byte that the time's fraction names.
    SetPositionAt(fraction);
    const auto offset = m_firstFrame + static_cast<std::int64_t>(AudioBytes() * ByteFractionOf(fraction));
    std::uint32_t got = 0;
    bool ok = StartReadingAt(static_cast<std::uint32_t>(std::min<std::int64_t>(offset, m_extent.end)));
    if (ok)
        ok = ReadFromFile(&got);
    if (!ok) {
        m_bytesValid = 0;
        m_guardAdded = false;
    }
    FeedStream();
    mad_frame_mute(&m_frame);
    mad_synth_mute(&m_synth);
    if (target != 0)
        PrimeAfterSeek();
    m_synth.pcm.length = 0;
    m_sampleIndex = 0;
    m_discard = 0;
    m_outputSample = mad_timer_count(m_position, static_cast<mad_units>(m_info.sampleRate));
    return ok;
}

void CMp3Decoder::SetPositionAt(double fraction)
{
    const double durationMs = static_cast<double>(mad_timer_count(m_duration, MAD_UNITS_MILLISECONDS));
    const auto ms = static_cast<unsigned long>(durationMs * fraction);
    mad_timer_set(&m_position, ms / kMillisecondsPerSecond, ms % kMillisecondsPerSecond,
                  kMillisecondsPerSecond);
}

// With a table of contents the time fraction maps to a byte fraction through it;
// entry i is the byte position of i percent in 256ths.
double CMp3Decoder::ByteFractionOf(double fraction) const
{
    if (!(m_xing.flags & kXingToc))
        return fraction;
    const double percent = fraction * kPercent;
    const int i = static_cast<int>(percent);
    const int last = static_cast<int>(kXingTocEntries);
    const double a = i < last ? m_xing.toc[i] : kTocEnd;
    const double b = i < last - 1 ? m_xing.toc[i + 1] : kTocEnd;
    return (a + (b - a) * (percent - i)) * (1.0 / kTocEnd);
}

// Two frames fill the bit reservoir and the synthesis filter again; what they
// produce is not played.
void CMp3Decoder::PrimeAfterSeek()
{
    int decoded = 0;
    while (decoded < kPrimingFrames) {
        const FrameResult result = DecodeInBuffer(m_stream, m_frame, m_freeRate, nullptr, false);
        if (result == FrameResult::End)
            break;
        if (result == FrameResult::Damaged)
            continue;
        ++decoded;
        mad_timer_add(&m_position, m_frame.header.duration);
        if (decoded == kPrimingFrames)
            mad_synth_frame(&m_synth, &m_frame);
    }
}

bool CMp3Decoder::SeekToSample(std::int64_t sample)
{
    if (!IsOpen() || m_samplesPerFrame <= 0)
        return false;
    sample = std::max<std::int64_t>(sample, 0);
    const auto frame = static_cast<std::size_t>(sample / m_samplesPerFrame);
    if (frame >= m_index.Count() && !m_index.IsComplete())
        m_index.Extend(kIndexForSeek);
    if (frame >= m_index.Count() && !m_index.IsComplete())
        return false;
    if (frame >= m_index.Count()) {
        // Past the last frame: the data is at its end.
        StartReadingAt(m_extent.end);
        FeedStream();
        m_synth.pcm.length = 0;
        m_sampleIndex = 0;
        m_discard = 0;
        SetOutputSample(static_cast<std::int64_t>(m_index.Count()) * m_samplesPerFrame);
        return true;
    }
    const std::size_t first = FirstPrimingFrame(frame);
    const bool ok = StartReadingAt(m_index.OffsetOf(first));
    mad_frame_mute(&m_frame);
    mad_synth_mute(&m_synth);
    m_synth.pcm.length = 0;
    FeedStream();
    // The frames before the sought one rebuild the reservoir, the overlap and the
    // synthesis filter; only the last of them is synthesised, and none is played.
    for (std::size_t i = first; i < frame; ++i) {
        const FrameResult result = DecodeNextHeader();
        if (result == FrameResult::End)
            break;
        if (i + 1 == frame) {
            if (result == FrameResult::Damaged)
                std::memset(m_frame.sbsample, 0, sizeof(m_frame.sbsample));
            mad_synth_frame(&m_synth, &m_frame);
        }
    }
    m_synth.pcm.length = 0;
    m_sampleIndex = 0;
    m_discard = sample - static_cast<std::int64_t>(frame) * m_samplesPerFrame;
    SetOutputSample(sample);
    return ok;
}

std::size_t CMp3Decoder::FirstPrimingFrame(std::size_t frame) const
{
    std::size_t first = frame;
    const std::uint32_t at = m_index.OffsetOf(frame);
    while (first > 0 && frame - first < kMostPrimingFrames &&
           (frame - first < static_cast<std::size_t>(kPrimingFrames) || at - m_index.OffsetOf(first) < kReservoirReach))
        --first;
    return first;
}

// Both clocks at the sample: the position timer of the notices, and the sample count.
void CMp3Decoder::SetOutputSample(std::int64_t sample)
{
    const auto rate = static_cast<unsigned long>(m_info.sampleRate);
    mad_timer_set(&m_position, static_cast<unsigned long>(sample / rate),
                  static_cast<unsigned long>(sample % rate), rate);
    m_outputSample = sample;
}

std::int64_t CMp3Decoder::DurationSamples() const
{
    if (m_info.sampleRate <= 0)
        return 0;
    return mad_timer_count(m_duration, static_cast<mad_units>(m_info.sampleRate));
}

bool CMp3Decoder::IndexAhead(std::uint32_t budget)
{
    return !IsOpen() || m_index.Extend(budget);
}

// ---- Track information --------------------------------------------------------------

bool CMp3Decoder::GetTrackInfo(TrackInfo* info)
{
    RefineDuration();
    if (info)
        *info = m_info;
    return IsOpen();
}

// Without a Xing frame count the average bit rate of the frames decoded so far
// gives a better estimate than the first header's.
void CMp3Decoder::RefineDuration()
{
    if (m_xing.flags & kXingFrames)
        return;
    if (m_index.IsComplete() && m_index.Count() > 0) {
        // Every frame is known: the length is theirs, not an estimate.
        mad_timer_set(&m_duration, 0, static_cast<unsigned long>(m_index.Count()) * m_samplesPerFrame,
                      static_cast<unsigned long>(m_info.sampleRate));
        m_info.durationSeconds = static_cast<std::int32_t>(mad_timer_count(m_duration, MAD_UNITS_SECONDS));
        return;
    }
    if (m_frameCount == 0)
        return;
    const std::uint32_t average = m_bitRateSum / m_frameCount;
    mad_timer_set(&m_duration, 0, 1, average * kBytesPerSecondPerKbps);
    mad_timer_multiply(&m_duration, static_cast<signed long>(AudioBytes()));
    if (mad_timer_compare(m_position, m_duration) > 0) {
        m_duration = m_position;
        if (IsOpen()) {
            // A file that has grown since it was opened (still being written): its
            // audio grows with it unless tags closed it.
            const std::uint32_t size = ClampedSize(m_file.Size());
            if (m_extent.end == m_size && size > m_size)
                m_extent.end = size;
            m_size = size;
        }
    }
    m_info.durationSeconds = static_cast<std::int32_t>(mad_timer_count(m_duration, MAD_UNITS_SECONDS));
}

int CMp3Decoder::PositionSeconds() const
{
    return static_cast<int>(mad_timer_count(m_position, MAD_UNITS_SECONDS));
}
