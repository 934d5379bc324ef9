// Opens, scans, fills and seeks a recording made of the input bytes, as the player
// thread would: the header scan and Xing parse, the duration estimates, every
// refill of the read buffer, and seeks to targets the input chooses.
//
// The last bytes of an input steer the run (how often the body repeats, where to
// seek); the rest is the file. Repeating the body lets a small input reach the
// refills of the 40000-byte read buffer.

#include "FuzzInputFile.h"
#include "Mp3Decoder.h"
#include "TrackInfo.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

constexpr int kMaxCopies = 4;
constexpr std::uint32_t kDeviceBuffer = 16384;   // what the wave output asks for
constexpr std::uint32_t kOddRequest = 4093;      // not a whole sample frame
// Enough to play a whole small input, few enough that a long silent stream of tiny
// frames does not look like a hang.
constexpr int kMaxBuffers = 256;
constexpr int kBuffersAfterSeek = 4;

// A finding of the fuzzer: Fill broke its contract.
void Check(bool holds)
{
    if (!holds)
        std::abort();
}

void FillBuffers(CMp3Decoder& decoder, std::vector<std::uint8_t>& buffer, std::uint32_t request, int count)
{
    for (int i = 0; i < count; ++i) {
        std::uint32_t length = request;
        const bool more = decoder.Fill(buffer.data(), &length);
        Check(length <= request);
        if (!more)
            return;
    }
}

void CheckTrackInfo(CMp3Decoder& decoder)
{
    TrackInfo info;
    Check(decoder.GetTrackInfo(&info) == decoder.IsOpen());
    Check(info.sixteenBit == 1 && (info.stereo == 0 || info.stereo == 1));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static bool quiet = (QuietMessageBoxes(), true);
    static FuzzInputFile input("recording.mp3");
    (void)quiet;

    FuzzedDataProvider provider(data, size);
    const int copies = provider.ConsumeIntegralInRange<int>(1, kMaxCopies);
    const auto target = provider.ConsumeIntegral<std::int32_t>();
    const auto scale = provider.ConsumeIntegral<std::int32_t>();
    const std::vector<std::uint8_t> body = provider.ConsumeRemainingBytes<std::uint8_t>();
    input.Write(body.data(), body.size(), copies);

    // Exactly the size asked for, so a write past it is caught.
    std::vector<std::uint8_t> buffer(kDeviceBuffer);
    auto decoder = std::make_unique<CMp3Decoder>();
    decoder->Init();
    if (!decoder->Open(input.Path()))
        return 0;
    CheckTrackInfo(*decoder);
    FillBuffers(*decoder, buffer, kOddRequest, 1);
    FillBuffers(*decoder, buffer, kDeviceBuffer, kMaxBuffers);
    CheckTrackInfo(*decoder);

    decoder->Seek(target, scale);
    FillBuffers(*decoder, buffer, kDeviceBuffer, kBuffersAfterSeek);
    decoder->Seek(scale > 0 ? scale : 1, scale > 0 ? scale : 1);   // the very end
    FillBuffers(*decoder, buffer, kDeviceBuffer, kBuffersAfterSeek);
    decoder->Seek(0, 1);
    FillBuffers(*decoder, buffer, kDeviceBuffer, kBuffersAfterSeek);
    CheckTrackInfo(*decoder);
    decoder->Close();
    return 0;
}
