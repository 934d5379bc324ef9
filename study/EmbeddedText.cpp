#include "EmbeddedText.h"

#include "File.h"

#include <cstdint>

namespace {

std::uint32_t ReadLittleEndian32(const unsigned char* bytes)
{
    return std::uint32_t(bytes[0]) | (std::uint32_t(bytes[1]) << 8) | (std::uint32_t(bytes[2]) << 16)
         | (std::uint32_t(bytes[3]) << 24);
}

}  // namespace

bool CEmbeddedText::Read(const QString& path, std::vector<char>* text)
{
    File file;
    if (!file.Open(path, File::Access::Read, File::Disposition::OpenExisting))
        return false;
    const std::int64_t size = file.Size();
    if (size < kTrailerBytes || file.Seek(-kTrailerBytes, File::Origin::End) < 0)
        return false;
    unsigned char trailer[kTrailerBytes] = {};
    std::uint32_t got = 0;
    if (!file.Read(trailer, kTrailerBytes, &got) || got != kTrailerBytes)
        return false;
    const std::uint32_t length = ReadLittleEndian32(trailer);
    if (std::int64_t(length) > size - kTrailerBytes)
        return false;
    std::vector<char> bytes(length, 0);
    if (length > 0) {
        if (file.Seek(-std::int64_t(length) - kTrailerBytes, File::Origin::End) < 0)
            return false;
        if (!file.Read(bytes.data(), length, &got) || got != length)
            return false;
    }
    *text = std::move(bytes);
    return true;
}
