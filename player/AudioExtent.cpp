// SPDX-License-Identifier: GPL-2.0-or-later
#include "AudioExtent.h"

#include "LittleEndian.h"

#include <cstring>

namespace {

constexpr int kMostTrailingTags = 8;   // a file with more is not worth peeling further
constexpr unsigned char kSyncsafeLimit = 0x80;
constexpr unsigned char kId3v2FooterFlag = 0x10;
constexpr unsigned char kId3v2OldestVersion = 2;
constexpr unsigned char kId3v2NewestVersion = 4;
constexpr std::uint32_t kApeHasHeader = 0x80000000u;
// Lyrics3 v2: the text, then six decimal digits of its size and "LYRICS200".
constexpr char kLyricsEnd[] = "LYRICS200";
constexpr std::uint32_t kLyricsEndSize = sizeof(kLyricsEnd) - 1;
constexpr std::uint32_t kLyricsSizeDigits = 6;

bool ReadAt(File& file, std::uint32_t offset, void* buffer, std::uint32_t count)
{
    std::uint32_t got = 0;
    return file.Seek(offset, File::Origin::Begin) == offset && file.Read(buffer, count, &got) &&
           got == count;
}

}  // namespace

std::uint32_t CAudioExtent::Id3v2TagSize(const unsigned char* bytes, bool footer)
{
    if (std::memcmp(bytes, footer ? "3DI" : "ID3", 3) != 0)
        return 0;
    const unsigned char version = bytes[3];
    if (version < kId3v2OldestVersion || version > kId3v2NewestVersion || bytes[4] == 0xFF)
        return 0;
    std::uint32_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (bytes[i] >= kSyncsafeLimit)
            return 0;
        size = size << 7 | bytes[i];
    }
    size += kId3v2HeaderSize;
    // Only version 2.4 knows a footer; it repeats the header at the tag's end.
    if (version == kId3v2NewestVersion && (bytes[5] & kId3v2FooterFlag))
        size += kId3v2HeaderSize;
    return size;
}

std::uint32_t CAudioExtent::ApeTagSize(const unsigned char* footer)
{
    if (std::memcmp(footer, "APETAGEX", 8) != 0)
        return 0;
    // The size counts the items and the footer; a header, when there is one, comes on top.
    const std::uint64_t size = std::uint64_t(LittleEndian::Read<std::uint32_t>(footer + 12)) +
                               ((LittleEndian::Read<std::uint32_t>(footer + 20) & kApeHasHeader) ? kApeFooterSize : 0);
    if (size < kApeFooterSize || size > UINT32_MAX)
        return 0;
    return static_cast<std::uint32_t>(size);
}

AudioExtent CAudioExtent::Measure(File& file, std::uint32_t fileSize, bool studyTextInside)
{
    AudioExtent extent;
    extent.start = LeadingTags(file, fileSize);
    extent.end = fileSize - (studyTextInside ? StudyTextTrailer(file, fileSize) : 0);
    if (extent.end < extent.start)
        extent.end = extent.start;
    for (int i = 0; i < kMostTrailingTags; ++i) {
        const std::uint32_t tag = TrailingTag(file, extent.start, extent.end);
        if (tag == 0)
            break;
        extent.end -= tag;
    }
    return extent;
}

std::uint32_t CAudioExtent::StudyTextTrailer(File& file, std::uint32_t fileSize)
{
    constexpr std::uint32_t kLengthBytes = 4;
    unsigned char length[kLengthBytes];
    if (fileSize < kLengthBytes || !ReadAt(file, fileSize - kLengthBytes, length, kLengthBytes))
        return 0;
    const std::uint32_t text = LittleEndian::Read<std::uint32_t>(length);
    return text <= fileSize - kLengthBytes ? text + kLengthBytes : 0;
}

// Tags follow one another: an updated tag is sometimes written in front of the old one.
std::uint32_t CAudioExtent::LeadingTags(File& file, std::uint32_t fileSize)
{
    std::uint32_t start = 0;
    unsigned char header[kId3v2HeaderSize];
    while (fileSize - start >= kId3v2HeaderSize && ReadAt(file, start, header, sizeof(header))) {
        const std::uint32_t size = Id3v2TagSize(header, false);
        if (size == 0 || size > fileSize - start)
            break;
        start += size;
    }
    return start;
}

std::uint32_t CAudioExtent::TrailingTag(File& file, std::uint32_t start, std::uint32_t end)
{
    const std::uint32_t room = end - start;
    unsigned char bytes[kApeFooterSize];
    if (room >= kId3v1Size && ReadAt(file, end - kId3v1Size, bytes, 3) && std::memcmp(bytes, "TAG", 3) == 0)
        return kId3v1Size;
    if (room >= kApeFooterSize && ReadAt(file, end - kApeFooterSize, bytes, kApeFooterSize)) {
        const std::uint32_t size = ApeTagSize(bytes);
        if (size > 0 && size <= room)
            return size;
    }
    if (room >= kId3v2HeaderSize && ReadAt(file, end - kId3v2HeaderSize, bytes, kId3v2HeaderSize)) {
        const std::uint32_t size = Id3v2TagSize(bytes, true);
        if (size > 0 && size <= room)
            return size;
    }
    const std::uint32_t lyricsTail = kLyricsSizeDigits + kLyricsEndSize;
    if (room >= lyricsTail && ReadAt(file, end - lyricsTail, bytes, lyricsTail) &&
        std::memcmp(bytes + kLyricsSizeDigits, kLyricsEnd, kLyricsEndSize) == 0) {
        std::uint32_t size = 0;
        for (std::uint32_t i = 0; i < kLyricsSizeDigits; ++i) {
            if (bytes[i] < '0' || bytes[i] > '9')
                return 0;
            size = size * 10 + (bytes[i] - '0');
        }
        size += lyricsTail;
        if (size <= room)
            return size;
    }
    return 0;
}
