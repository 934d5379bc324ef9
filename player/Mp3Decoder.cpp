#include "Mp3Decoder.h"

#include "Dither.h"
#include "MessageBox.h"
#include "SystemError.h"

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
}

bool CMp3Decoder::Open(const QString& path)
{
    Close();
    if (!m_file.Open(path, File::Access::Read, File::Disposition::OpenExisting)) {
        MessageBoxW(nullptr, SystemError::Text(SystemError::Last()), QStringLiteral("Error"),
                    MB_ICONINFORMATION);
        return false;
    }
    mad_stream_init(&m_stream);
    mad_frame_init(&m_frame);
    mad_synth_init(&m_synth);
    if (!ScanFirstHeader()) {
        Close();
        return false;
    }
    m_file.Seek(0, File::Origin::Begin);
    m_size = ClampedSize(m_file.Size());

    m_synth.pcm.length = 0;
    m_sampleIndex = 0;
    m_position = mad_timer_zero;
    EstimateDuration();
    m_bitRateSum = 0;
    m_frameCount = 0;
    FillTrackInfo();
    // Decoding starts again from byte 0 with an empty stream; libmad's own
    // synchronisation skips whatever precedes the first frame.
    m_bytesValid = 0;
    m_guardAdded = false;
    m_readSinceFrame = 0;
    return true;
}

void CMp3Decoder::Close()
{
    if (!m_file.IsOpen())
        return;
    m_file.Close();
    mad_frame_finish(&m_frame);
    mad_stream_finish(&m_stream);
}

// ---- Open: the first usable header ------------------------------------------------

bool CMp3Decoder::ScanFirstHeader()
{
    unsigned char scratch[kScanBufferSize];
    mad_stream stream;
    mad_frame frame;
    mad_stream_init(&stream);
    mad_frame_init(&frame);
    m_xing = XingInfo();

    std::uint32_t valid = 0;
    std::uint32_t scanned = 0;
    int decoded = 0;
    mad_header taken{};
    bool found = false;
    while (scanned < kMaxSyncSearch) {
        std::uint32_t got = 0;
        if (!m_file.Read(scratch + valid, kScanBufferSize - valid, &got) || got == 0)
            break;
        valid += got;
        scanned += got;
        mad_stream_buffer(&stream, scratch, valid);
        if (ScanDecode(stream, frame, &decoded, &taken)) {
            found = true;
            break;
        }
        if (stream.error != MAD_ERROR_BUFLEN || !stream.next_frame)
            break;
        // Keep the start of an incomplete frame and top the buffer up behind it.
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
bool CMp3Decoder::ScanDecode(mad_stream& stream, mad_frame& frame, int* decoded,
                             mad_header* taken)
{
    for (;;) {
        if (mad_frame_decode(&frame, &stream) == -1) {
            if (MAD_RECOVERABLE(stream.error))
                continue;
            return *decoded > 0;   // the last decoded frame's header
        }
        ++*decoded;
        *taken = frame.header;
        // A Xing header sits in the first frame; without one the second frame is
        // taken, as the first may be some other encoder's header frame.
        if (*decoded > 1 || ParseXing(stream.anc_ptr, stream.anc_bitlen))
            return true;
    }
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

// Without scanning the file: from the Xing frame count, or from the size and the
// bit rate of the header (the size includes any tags).
void CMp3Decoder::EstimateDuration()
{
    if (m_xing.flags & kXingFrames) {
        m_duration = m_frame.header.duration;
        mad_timer_multiply(&m_duration, static_cast<signed long>(m_xing.frames));
        return;
    }
    mad_timer_set(&m_duration, 0, 1, m_frame.header.bitrate / kBitsPerByte);
    mad_timer_multiply(&m_duration, static_cast<signed long>(m_size));
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
        const std::uint32_t available =
            m_synth.pcm.length > m_sampleIndex ? m_synth.pcm.length - m_sampleIndex : 0;
        const std::uint32_t n = std::min(wanted, available);
        if (n > 0) {
            *byteCount += Dither::Convert(m_synth.pcm, m_sampleIndex, n, stereo, out + *byteCount);
            m_sampleIndex += n;
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
    while (mad_frame_decode(&m_frame, &m_stream) == -1) {
        if (MAD_RECOVERABLE(m_stream.error))
            continue;
        if (!RefillStream())
            return false;
    }
    CountFrame();
    SynthesiseFrame();
    return true;
}

bool CMp3Decoder::RefillStream()
{
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
    mad_synth_frame(&m_synth, &m_frame);
    m_sampleIndex = 0;
    mad_timer_add(&m_position, m_frame.header.duration);
}

// Appends to the valid bytes. libmad decodes a frame only when MAD_BUFFER_GUARD bytes
// follow it, so once the file's last byte is in, that many zeros go after it.
bool CMp3Decoder::ReadFromFile(std::uint32_t* got)
{
    const std::uint32_t wanted = kReadBufferSize - m_bytesValid;
    const bool ok = m_file.Read(m_buffer + m_bytesValid, wanted, got);
    m_bytesValid += *got;
    if (ok && *got < wanted) {
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

// ---- Seek -------------------------------------------------------------------------

bool CMp3Decoder::Seek(std::int32_t target, std::int32_t scale)
{
    if (!IsOpen() || target < 0 || scale < 1)
        return false;
    // A target past the end means the end.
    const double fraction = std::min(static_cast<double>(target) / scale, 1.0);
    SetPositionAt(fraction);

    const auto offset = static_cast<std::int64_t>(m_size * ByteFractionOf(fraction));
    m_bytesValid = 0;
    m_guardAdded = false;
    m_readSinceFrame = 0;
    std::uint32_t got = 0;
    bool ok = m_file.Seek(offset, File::Origin::Begin) >= 0;
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
        if (mad_frame_decode(&m_frame, &m_stream) == -1) {
            if (MAD_RECOVERABLE(m_stream.error))
                continue;
            break;
        }
        ++decoded;
        mad_timer_add(&m_position, m_frame.header.duration);
        if (decoded == kPrimingFrames)
            mad_synth_frame(&m_synth, &m_frame);
    }
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
    if ((m_xing.flags & kXingFrames) || m_frameCount == 0)
        return;
    const std::uint32_t average = m_bitRateSum / m_frameCount;
    mad_timer_set(&m_duration, 0, 1, average * kBytesPerSecondPerKbps);
    mad_timer_multiply(&m_duration, static_cast<signed long>(m_size));
    if (mad_timer_compare(m_position, m_duration) > 0) {
        m_duration = m_position;
        if (IsOpen())
            m_size = ClampedSize(m_file.Size());
    }
    m_info.durationSeconds = static_cast<std::int32_t>(mad_timer_count(m_duration, MAD_UNITS_SECONDS));
}

int CMp3Decoder::PositionSeconds() const
{
    return static_cast<int>(mad_timer_count(m_position, MAD_UNITS_SECONDS));
}
