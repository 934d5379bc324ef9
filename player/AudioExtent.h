// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where the audio of a recording lies between the tags around it: any number of
// ID3v2 tags in front (versions 2.2 to 2.4, with or without footer), and behind it
// an ID3v1 tag, an APEv2 tag, a Lyrics3 v2 block or an ID3v2 tag with footer, in
// any order. Each tag is measured by its own header; one that claims more than
// the file holds is not taken for a tag. A recording with its study text inside
// (".vds") ends, last of all, with the text and its 4-byte length.

#include "File.h"

#include <cstdint>

struct AudioExtent
{
    std::uint32_t start = 0;   // first byte after the leading tags
    std::uint32_t end = 0;     // one past the last byte before the trailing tags

    std::uint32_t Size() const { return end > start ? end - start : 0; }
};

class CAudioExtent
{
public:
    static constexpr std::uint32_t kId3v2HeaderSize = 10;
    static constexpr std::uint32_t kId3v1Size = 128;
    static constexpr std::uint32_t kApeFooterSize = 32;

    // Reads the file's ends; leaves the file pointer where it was not.
    static AudioExtent Measure(File& file, std::uint32_t fileSize, bool studyTextInside = false);

    // The whole size of the ID3v2 tag whose header (or, with footer true, whose
    // footer) these 10 bytes are; 0 when they are none.
    static std::uint32_t Id3v2TagSize(const unsigned char* bytes, bool footer);
    // The whole size of the APEv2 tag whose 32-byte footer this is; 0 when none.
    static std::uint32_t ApeTagSize(const unsigned char* footer);

private:
    // The text and its length at the end of a ".vds", or 0 when the length is more
    // than the file holds.
    static std::uint32_t StudyTextTrailer(File& file, std::uint32_t fileSize);
    static std::uint32_t LeadingTags(File& file, std::uint32_t fileSize);
    // The size of one tag that ends at end, or 0.
    static std::uint32_t TrailingTag(File& file, std::uint32_t start, std::uint32_t end);
};
