// SPDX-License-Identifier: GPL-2.0-or-later
#include "EmbeddedText.h"

#include "File.h"
#include "LittleEndian.h"

#include <cstdint>

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
    const std::uint32_t length = LittleEndian::Read<std::uint32_t>(trailer);
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
