// SPDX-License-Identifier: GPL-2.0-or-later
// Measures where the audio of a recording made of the input lies between its tags
// (CAudioExtent): ID3v2 tags in front, ID3v1, APEv2, Lyrics3 v2 and ID3v2 with
// footer behind. The extent must lie inside the file; a tag is only taken where its
// header says a tag is; an empty ID3v2 tag put in front moves the extent by its own
// size and no more; the audio measured on its own holds no further tag.

#include "AudioExtent.h"
#include "File.h"
#include "FuzzCheck.h"
#include "FuzzInputFile.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// An ID3v2.4 header of a tag without frames: 10 bytes in all.
constexpr std::uint8_t kEmptyTag[CAudioExtent::kId3v2HeaderSize] = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 0};
// The smallest trailing tag, a Lyrics3 v2 block without text; fewer bytes than
// this many of them cannot be as many tags as Measure peels at most.
constexpr std::uint32_t kSmallestTrailingTag = 15;
constexpr std::uint32_t kMostTrailingTags = 8;

AudioExtent MeasureFile(const FuzzInputFile& input)
{
    File file;
    FuzzCheck(file.Open(input.Path(), File::Access::Read, File::Disposition::OpenExisting),
              "the input file opens");
    const auto size = static_cast<std::uint32_t>(file.Size());
    const AudioExtent extent = CAudioExtent::Measure(file, size);
    FuzzCheck(extent.start <= extent.end && extent.end <= size, "the audio lies inside the file");
    FuzzCheck(extent.Size() == extent.end - extent.start, "the size is the extent's");
    return extent;
}

void CheckTagSizes(const std::uint8_t* data, std::size_t size)
{
    if (size >= CAudioExtent::kId3v2HeaderSize) {
        for (const bool footer : {false, true}) {
            const std::uint32_t tag = CAudioExtent::Id3v2TagSize(data, footer);
            FuzzCheck(tag == 0 || tag >= CAudioExtent::kId3v2HeaderSize, "an ID3v2 tag holds its header");
            FuzzCheck(tag == 0 || std::memcmp(data, footer ? "3DI" : "ID3", 3) == 0, "an ID3v2 tag starts with its mark");
        }
    }
    if (size >= CAudioExtent::kApeFooterSize) {
        const std::uint32_t tag = CAudioExtent::ApeTagSize(data);
        FuzzCheck(tag == 0 || tag >= CAudioExtent::kApeFooterSize, "an APEv2 tag holds its footer");
        FuzzCheck(tag == 0 || std::memcmp(data, "APETAGEX", 8) == 0, "an APEv2 tag ends with its mark");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInputFile input("recording.mp3");
    CheckTagSizes(data, size);

    input.Write(data, size);
    const AudioExtent extent = MeasureFile(input);
    // Leading tags start the file.
    if (extent.start > 0)
        FuzzCheck(size >= CAudioExtent::kId3v2HeaderSize && std::memcmp(data, "ID3", 3) == 0,
                  "audio after the start follows an ID3v2 tag");

    std::vector<std::uint8_t> bytes(kEmptyTag, kEmptyTag + sizeof(kEmptyTag));
    bytes.insert(bytes.end(), data, data + size);
    input.Write(bytes.data(), bytes.size());
    const AudioExtent behindTag = MeasureFile(input);
    FuzzCheck(behindTag.start == extent.start + sizeof(kEmptyTag) && behindTag.end == extent.end + sizeof(kEmptyTag),
              "a tag in front moves the audio by its size");

    // Measure peels at most so many tags from the end; fewer were peeled when the
    // bytes behind the audio could not hold that many.
    if (size - extent.end < kMostTrailingTags * kSmallestTrailingTag) {
        input.Write(data + extent.start, extent.Size());
        const AudioExtent alone = MeasureFile(input);
        FuzzCheck(alone.start == 0 && alone.end == extent.Size(), "the audio alone holds no tag");
    }
    return 0;
}
