// SPDX-License-Identifier: GPL-2.0-or-later
#include "TagBuilder.h"

#include "LittleEndian.h"

#include <random>

namespace TagBuilder {

namespace {

constexpr int kApeFooterSize = 32;

// Four bytes of n, bitsPerByte bits in each.
QByteArray Bytes32(std::uint32_t n, bool bigEndian, int bitsPerByte = 8)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[bigEndian ? 3 - i : i] = char((n >> (bitsPerByte * i)) & ((1u << bitsPerByte) - 1));
    return out;
}

}  // namespace

QByteArray Syncsafe(std::uint32_t n)
{
    return Bytes32(n, true, 7);
}

// Frame sizes are plain in 2.3 and syncsafe in 2.4; 2.2 has three-byte ids and sizes.
QByteArray Id3v2Frame(int version, const QByteArray& id, const QByteArray& body)
{
    const auto n = std::uint32_t(body.size());
    if (version == 2)
        return id.left(3) + char((n >> 16) & 0xFF) + char((n >> 8) & 0xFF) + char(n & 0xFF) + body;
    return id + (version == 4 ? Syncsafe(n) : Bytes32(n, true)) + QByteArray(2, '\0') + body;
}

QByteArray Id3v2Tag(int version, const QByteArray& frames, bool footer)
{
    const char flags = footer ? 0x10 : 0x00;
    const QByteArray size = Syncsafe(std::uint32_t(frames.size()));
    QByteArray tag = QByteArray("ID3") + char(version) + '\0' + flags + size + frames;
    if (footer)
        tag += QByteArray("3DI") + char(version) + '\0' + flags + size;
    return tag;
}

QByteArray TextBody(const QByteArray& text)
{
    return QByteArray(1, '\0') + text;
}

QByteArray PictureBody(const QByteArray& mimeType, const QByteArray& picture)
{
    return QByteArray(1, '\0') + mimeType + '\0' + char(0x03) + '\0' + picture;
}

QByteArray ApeTag()
{
    const auto le32 = [](std::uint32_t n) { return LittleEndian::Bytes<std::uint32_t>(n); };
    const QByteArray item = le32(6) + le32(0) + "Title" + '\0' + "Lesson";
    const auto size = std::uint32_t(item.size() + kApeFooterSize);
    auto frame = [&](std::uint32_t flags) {
        return QByteArray("APETAGEX") + le32(2000) + le32(size) + le32(1) + le32(flags) + QByteArray(8, '\0');
    };
    return frame(0xA0000000u) + item + frame(0x80000000u);
}

QByteArray Id3v1Tag(const QByteArray& title)
{
    QByteArray tag = "TAG" + title.leftJustified(30, '\0', true);
    return tag.leftJustified(128, '\0');
}

QByteArray Picture(std::uint32_t size)
{
    std::mt19937 random(1234);
    QByteArray bytes(qsizetype(size), '\0');
    for (char& byte : bytes)
        byte = char(random() & 0xFF);
    const QByteArray header("\xFF\xF3\x18\xC4", 4);
    for (qsizetype at = 1000; at + 40 < bytes.size(); at += 65536) {
        bytes.replace(at, 4, header);
        bytes.replace(at + 36, 4, header);
    }
    return bytes;
}

}  // namespace TagBuilder
