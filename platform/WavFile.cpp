// SPDX-License-Identifier: GPL-2.0-or-later
#include "WavFile.h"

#include "LittleEndian.h"

#include <algorithm>
#include <limits>

namespace {

constexpr quint32 kFmtChunkSize = 16;
constexpr qint64 kChunkHeaderSize = 8;
constexpr qint64 kRiffPreambleSize = 12;   // "RIFF", size, "WAVE"
constexpr quint64 kMaxSizeField = std::numeric_limits<quint32>::max();

bool HasTag(const QByteArray& in, qint64 at, const char* tag)
{
    return in.size() >= at + 4 && in.mid(at, 4) == QByteArray(tag, 4);
}

struct FmtChunk
{
    quint32 formatTag = 0;
    AudioFormat format;
};

FmtChunk ReadFmt(const QByteArray& file, qint64 body)
{
    FmtChunk fmt;
    fmt.formatTag = LittleEndian::Read<quint16>(file.constData() + body);
    fmt.format.channels = static_cast<WORD>(LittleEndian::Read<quint16>(file.constData() + body + 2));
    fmt.format.sampleRate = LittleEndian::Read<quint32>(file.constData() + body + 4);
    fmt.format.bitsPerSample = static_cast<WORD>(LittleEndian::Read<quint16>(file.constData() + body + 14));
    return fmt;
}

bool Playable(const FmtChunk& fmt)
{
    return fmt.formatTag == WAVE_FORMAT_PCM && fmt.format.Playable();
}

}  // namespace

namespace WavFile {

quint32 DataSize(quint64 dataBytes)
{
    return static_cast<quint32>(std::min(dataBytes, kMaxSizeField - (kHeaderSize - kChunkHeaderSize)));
}

quint32 RiffSize(quint64 dataBytes)
{
    return DataSize(dataBytes) + static_cast<quint32>(kHeaderSize - kChunkHeaderSize);
}

QByteArray Header(const AudioFormat& format, quint64 dataBytes)
{
    QByteArray out;
    out.reserve(kHeaderSize);
    out.append("RIFF", 4);
    LittleEndian::Append<quint32>(out, RiffSize(dataBytes));
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    LittleEndian::Append<quint32>(out, kFmtChunkSize);
    LittleEndian::Append<quint16>(out, WAVE_FORMAT_PCM);
    LittleEndian::Append<quint16>(out, format.channels);
    LittleEndian::Append<quint32>(out, format.sampleRate);
    LittleEndian::Append<quint32>(out, static_cast<quint32>(format.BytesPerSecond()));
    LittleEndian::Append<quint16>(out, static_cast<quint16>(format.BlockAlign()));
    LittleEndian::Append<quint16>(out, format.bitsPerSample);
    out.append("data", 4);
    LittleEndian::Append<quint32>(out, DataSize(dataBytes));
    return out;
}

bool Parse(const QByteArray& file, WavSound& sound)
{
    if (!HasTag(file, 0, "RIFF") || !HasTag(file, 8, "WAVE"))
        return false;
    bool haveFmt = false;
    FmtChunk fmt;
    qint64 dataAt = -1;
    qint64 dataSize = 0;
    for (qint64 at = kRiffPreambleSize; at + kChunkHeaderSize <= file.size();) {
        const qint64 declared = LittleEndian::Read<quint32>(file.constData() + at + 4);
        const qint64 body = at + kChunkHeaderSize;
        const qint64 present = std::min(declared, file.size() - body);
        if (HasTag(file, at, "fmt ") && present >= kFmtChunkSize) {
            fmt = ReadFmt(file, body);
            haveFmt = true;
        } else if (HasTag(file, at, "data") && dataAt < 0) {
            dataAt = body;
            dataSize = present;
        }
        at = body + declared + (declared & 1);   // chunks are padded to even sizes
    }
    if (!haveFmt || dataAt < 0 || !Playable(fmt))
        return false;
    const qint64 block = static_cast<qint64>(fmt.format.BlockAlign());
    sound.format = fmt.format;
    sound.pcm = file.mid(dataAt, dataSize - dataSize % block);
    return true;
}

}  // namespace WavFile
