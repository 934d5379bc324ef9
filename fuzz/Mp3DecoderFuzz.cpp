// SPDX-License-Identifier: GPL-2.0-or-later
// Plays a recording made of the input bytes as a learner's session drives the
// player thread's decoder: open, play a few buffers, move the slider, play on, look
// at the time, jump to a sample (a loop's A, the heard position at a new tempo),
// let the frame index read on, play to the end, open the recording again. The tags
// around the audio, the header scan, the Xing parse, the duration estimates, the
// frame index, every refill of the read buffer and the seeks all run on what the
// fuzzer makes.
//
// The input is the recording followed by its session (FuzzRecording): the steps
// and their arguments are taken from the end, the recording is what remains. A
// step count of zero plays LearnerSession below, which is what the seeds of
// fuzz/make-seeds ask for. How much one input may play is bounded (kByteBudget), and
// how often it may open the recording (kMaxOpens).
//
// A new call of the decoder is one more entry in kSteps: a function that takes its
// arguments from the input and returns what the step does.

#include "Dither.h"
#include "FuzzCheck.h"
#include "FuzzRecording.h"
#include "FuzzSession.h"
#include "Mp3Decoder.h"
#include "TrackInfo.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr std::uint32_t kDeviceBuffer = 16384;   // what the wave output asks for
// Requests a step may make: the device's, one that is no whole sample frame, tiny
// ones, none at all, and one that is not a power of two.
constexpr std::uint32_t kRequests[] = {kDeviceBuffer, 4093, 4, 1, 0, 4608};
constexpr int kMaxBuffersPerFill = 8;
// How many bytes of samples one input may ask for in all: at the device's size,
// eight buffers, about 0.75 s of 44.1 kHz stereo, enough for a session of a few
// steps over the short recordings the fuzzer makes. Making the samples is most of
// a run's time, so this bounds how fast the target runs.
constexpr std::uint64_t kByteBudget = 8 * std::uint64_t(kDeviceBuffer);
// What a call of Fill costs the budget at least, so that tiny requests end too.
constexpr std::uint32_t kLeastCharge = 1024;
// What the frame index may read in one step: nothing, a byte, about a frame, a
// few frames, its chunk.
constexpr std::uint32_t kIndexBudgets[] = {0, 1, 417, 4096, CFrameIndex::kChunkSize};
// How often one input may open its recording: the first open and two more. Each
// open scans for the first frame and indexes the whole of the fuzzer's short
// recordings, half of a run's time, and a third open of the same file finds no
// more than the second.
constexpr int kMaxOpens = 3;
constexpr std::int32_t kSliderRange = 1000;
constexpr std::int32_t kSampleRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
constexpr std::uint32_t kBytesPerSample = 2;
constexpr std::uint32_t kXingFramesFlag = 0x1;

// One decoder and what the session has seen of it, to check each call against.
class Session
{
public:
    explicit Session(const FuzzRecording& recording) : m_recording(recording) {}

    void Open(bool init)
    {
        if (m_opens == kMaxOpens)
            return;
        ++m_opens;
        if (init)
            m_decoder->Init();
        const bool opened = m_decoder->Open(m_recording.Path());
        FuzzCheck(opened == m_decoder->IsOpen(), "Open agrees with IsOpen");
        TrackInfo info;
        FuzzCheck(m_decoder->GetTrackInfo(&info) == opened, "GetTrackInfo agrees with Open");
        m_ended = false;
        m_mustEnd = false;
        m_position = 0;
        m_indexChecked = 0;
        m_indexComplete = false;
        if (!opened) {
            FuzzCheck(!m_openedOnce, "a recording that opened once opens again");
            return;
        }
        CheckInfo(info);
        FuzzCheck(m_decoder->PositionSeconds() == 0 && m_decoder->OutputSample() == 0,
                  "an opened recording starts at 0");
        // The same file opens the same way however the decoder was used before.
        if (m_openedOnce)
            FuzzCheck(SameInfo(info, m_infoAtOpen), "reopening gives the same track information");
        m_infoAtOpen = info;
        m_openedOnce = true;
        CheckExtent();
        CheckIndex();
    }

    void Close()
    {
        m_decoder->Close();
        FuzzCheck(!m_decoder->IsOpen(), "Close closes");
        TrackInfo info;
        FuzzCheck(!m_decoder->GetTrackInfo(&info), "GetTrackInfo fails when closed");
        FuzzCheck(m_decoder->IndexAhead(1), "a closed decoder has nothing to index");
    }

    // Up to `buffers` buffers, fewer when the data ends or the input's budget does.
    void Fill(int buffers, std::uint32_t request)
    {
        const std::uint32_t charge = std::max(request, kLeastCharge);
        for (int i = 0; i < buffers && m_budget >= charge; ++i) {
            m_budget -= charge;
            if (!FillOne(request))
                return;
        }
    }

    void PlayToEnd(std::uint32_t request) { Fill(std::numeric_limits<int>::max(), request); }

    void Seek(std::int32_t target, std::int32_t scale)
    {
        const int before = m_decoder->PositionSeconds();
        const std::int64_t sample = m_decoder->OutputSample();
        const bool moved = m_decoder->Seek(target, scale);
        if (!m_decoder->IsOpen() || target < 0 || scale < 1) {
            FuzzCheck(!moved && m_decoder->PositionSeconds() == before && m_decoder->OutputSample() == sample,
                      "a seek that cannot be made fails and leaves the position");
            return;
        }
        // The slider at its left end is the start of the recording.
        if (target == 0)
            FuzzCheck(m_decoder->PositionSeconds() == 0 && m_decoder->OutputSample() == 0, "a seek to 0 is at 0");
        m_ended = false;
        m_mustEnd = false;
        m_position = m_decoder->PositionSeconds();
        CheckIndex();
    }

    // A jump to a sample: it lands on that sample, or at the end when the sample lies
    // past the last frame; when it cannot be made nothing changes.
    void SeekToSample(std::int64_t target)
    {
        const int seconds = m_decoder->PositionSeconds();
        const std::int64_t before = m_decoder->OutputSample();
        const bool moved = m_decoder->SeekToSample(target);
        CheckIndex();
        if (!moved) {
            FuzzCheck(m_decoder->PositionSeconds() == seconds && m_decoder->OutputSample() == before,
                      "a sample seek that cannot be made leaves the position");
            return;
        }
        FuzzCheck(m_decoder->IsOpen(), "a closed decoder cannot seek");
        const std::int64_t end = IndexedSamples();
        const std::int64_t expected = std::min(std::max<std::int64_t>(target, 0), end);
        FuzzCheck(m_decoder->OutputSample() == expected, "a sample seek lands on the sample, or at the end");
        FuzzCheck(m_decoder->PositionSeconds() == expected / m_decoder->SampleRate(),
                  "the time after a sample seek is the sample's");
        m_ended = false;
        m_mustEnd = expected == end;
        m_position = m_decoder->PositionSeconds();
    }

    void IndexAhead(std::uint32_t budget)
    {
        const std::size_t before = m_decoder->Index().Count();
        const bool complete = m_decoder->IndexAhead(budget);
        if (!m_decoder->IsOpen()) {
            FuzzCheck(complete, "a closed decoder has nothing to index");
            return;
        }
        FuzzCheck(complete == m_decoder->Index().IsComplete(), "IndexAhead says whether the index is complete");
        FuzzCheck(m_decoder->Index().Count() >= before, "the index forgets no frame");
        CheckIndex();
    }

    void Look()
    {
        TrackInfo info;
        FuzzCheck(m_decoder->GetTrackInfo(&info) == m_decoder->IsOpen(), "GetTrackInfo agrees with IsOpen");
        FuzzCheck(m_decoder->PositionSeconds() >= m_position, "looking does not move the position");
        if (!m_decoder->IsOpen())
            return;
        CheckInfo(info);
        // Once every frame is known the length is theirs, unless a Xing frame count says it.
        const XingInfo& xing = m_decoder->Xing();
        const std::int64_t duration = m_decoder->DurationSamples();
        if (xing.flags & kXingFramesFlag)
            FuzzCheck(duration == std::int64_t(xing.frames) * SamplesPerFrame(),
                      "the Xing frame count gives the duration");
        else if (m_decoder->Index().IsComplete() && m_decoder->Index().Count() > 0)
            FuzzCheck(duration == IndexedSamples(), "a complete index gives the duration");
        else
            FuzzCheck(duration >= 0, "no negative duration");
    }

private:
    static void CheckInfo(const TrackInfo& info)
    {
        FuzzCheck(info.sixteenBit == 1 && (info.stereo == 0 || info.stereo == 1), "16-bit mono or stereo output");
        FuzzCheck(std::find(std::begin(kSampleRates), std::end(kSampleRates), info.sampleRate) !=
                      std::end(kSampleRates),
                  "an MPEG sample rate");
        FuzzCheck(info.durationSeconds >= 0 && info.kbps >= 0, "no negative duration or bit rate");
    }

    static bool SameInfo(const TrackInfo& a, const TrackInfo& b)
    {
        return a.durationSeconds == b.durationSeconds && a.kbps == b.kbps && a.sampleRate == b.sampleRate &&
               a.stereo == b.stereo && a.sixteenBit == b.sixteenBit;
    }

    int SamplesPerFrame() const { return m_recording.SamplesPerFrameAt(m_decoder->FirstFrameOffset()); }
    std::int64_t IndexedSamples() const
    {
        return std::int64_t(m_decoder->Index().Count()) * SamplesPerFrame();
    }

    // The audio lies between the tags, inside the file, and starts with a frame.
    void CheckExtent() const
    {
        const AudioExtent& extent = m_decoder->Extent();
        FuzzCheck(extent.start <= extent.end && extent.end <= m_recording.Size(), "the audio lies inside the file");
        const std::uint32_t first = m_decoder->FirstFrameOffset();
        FuzzCheck(first >= extent.start && first < extent.end, "the first frame lies in the audio");
        FuzzCheck(SamplesPerFrame() > 0, "the first frame starts with a header");
    }

    // The frames the index has learnt since the last look: in order, inside the
    // audio, the first at the stream's first frame; once complete it stays so.
    void CheckIndex()
    {
        if (!m_decoder->IsOpen())
            return;
        const CFrameIndex& index = m_decoder->Index();
        FuzzCheck(!m_indexComplete || index.IsComplete(), "a complete index stays complete");
        m_indexComplete = index.IsComplete();
        if (index.Count() > 0 && m_indexChecked == 0)
            FuzzCheck(index.OffsetOf(0) == m_decoder->FirstFrameOffset(), "the index starts at the first frame");
        for (std::size_t i = std::max<std::size_t>(m_indexChecked, 1); i < index.Count(); ++i)
            FuzzCheck(index.OffsetOf(i) > index.OffsetOf(i - 1), "the index is in order");
        if (index.Count() > 0)
            FuzzCheck(index.OffsetOf(index.Count() - 1) < m_decoder->Extent().end, "the index stays in the audio");
        m_indexChecked = index.Count();
    }

    // False when the data has ended.
    bool FillOne(std::uint32_t request)
    {
        std::uint32_t length = request;
        const std::int64_t sample = m_decoder->OutputSample();
        const bool more = m_decoder->Fill(FuzzRecording::Buffer(request), &length);
        FuzzCheck(length <= request, "Fill writes no more than asked");
        if (!m_decoder->IsOpen()) {
            FuzzCheck(!more && length == 0, "a closed decoder fills nothing");
            return false;
        }
        // The device plays whole sample frames of the format the recording opened with.
        const std::uint32_t frameBytes = kBytesPerSample * (m_infoAtOpen.stereo ? 2 : 1);
        FuzzCheck(length % frameBytes == 0, "Fill writes whole sample frames");
        FuzzCheck(m_decoder->OutputSample() == sample + length / frameBytes,
                  "the sample count moves on by what Fill wrote");
        // The end stays the end until the learner moves the slider. A request smaller
        // than a sample frame asks for nothing, and its answer says nothing of the end.
        const bool asked = request >= frameBytes;
        if (m_ended || m_mustEnd)
            FuzzCheck(length == 0 && !(asked && more), "after the end nothing more plays until a seek");
        if (asked)
            m_ended = !more;
        const int position = m_decoder->PositionSeconds();
        FuzzCheck(position >= m_position, "playing never goes back in time");
        m_position = position;
        // Whatever the index does not know yet, it never knows less than what plays.
        if (m_decoder->Index().IsComplete())
            FuzzCheck(m_decoder->OutputSample() <= IndexedSamples(), "playing stays within the frames the index knows");
        return more;
    }

    const FuzzRecording& m_recording;
    std::unique_ptr<CMp3Decoder> m_decoder = std::make_unique<CMp3Decoder>();
    TrackInfo m_infoAtOpen;
    bool m_openedOnce = false;
    int m_opens = 0;
    bool m_ended = false;
    bool m_mustEnd = false;   // a sample seek went to the end
    int m_position = 0;
    std::size_t m_indexChecked = 0;
    bool m_indexComplete = false;
    std::uint64_t m_budget = kByteBudget;
};

using Step = FuzzSession<Session>::Step;
using StepReader = FuzzSession<Session>::StepReader;

std::uint32_t ReadRequest(FuzzedDataProvider& in)
{
    return in.PickValueInArray(kRequests);
}

Step FillStep(FuzzedDataProvider& in)
{
    const int buffers = in.ConsumeIntegralInRange(1, kMaxBuffersPerFill);
    const std::uint32_t request = ReadRequest(in);
    return [=](Session& s) { s.Fill(buffers, request); };
}

Step PlayToEndStep(FuzzedDataProvider& in)
{
    const std::uint32_t request = ReadRequest(in);
    return [=](Session& s) { s.PlayToEnd(request); };
}

// Where the slider goes: anywhere along it, either end, or any pair of numbers
// (negative and zero scales included).
Step SeekStep(FuzzedDataProvider& in)
{
    std::int32_t target = 0;
    std::int32_t scale = kSliderRange;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: target = in.ConsumeIntegralInRange<std::int32_t>(0, kSliderRange); break;
    case 1: target = 0; break;
    case 2: target = kSliderRange; break;
    default:
        target = in.ConsumeIntegral<std::int32_t>();
        scale = in.ConsumeIntegral<std::int32_t>();
        break;
    }
    return [=](Session& s) { s.Seek(target, scale); };
}

// A sample anywhere: near the start, around a frame's edge, any number (negative
// and far past the end included).
Step SeekToSampleStep(FuzzedDataProvider& in)
{
    constexpr std::int64_t kFrameEdge = 1152;
    std::int64_t target = 0;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: target = in.ConsumeIntegralInRange<std::int64_t>(0, 1 << 16); break;
    case 1:
        target = in.ConsumeIntegralInRange<std::int64_t>(0, 64) * kFrameEdge / 2 +
                 in.ConsumeIntegralInRange<std::int64_t>(-1, 1);
        break;
    case 2: target = -in.ConsumeIntegralInRange<std::int64_t>(1, 1 << 20); break;
    default: target = in.ConsumeIntegral<std::int64_t>(); break;
    }
    return [=](Session& s) { s.SeekToSample(target); };
}

Step IndexAheadStep(FuzzedDataProvider& in)
{
    const std::uint32_t budget = in.PickValueInArray(kIndexBudgets);
    return [=](Session& s) { s.IndexAhead(budget); };
}

Step LookStep(FuzzedDataProvider&)
{
    return [](Session& s) { s.Look(); };
}

Step CloseStep(FuzzedDataProvider&)
{
    return [](Session& s) { s.Close(); };
}

// The next recording of a playlist reuses the decoder; the engine's start calls Init.
Step ReopenStep(FuzzedDataProvider& in)
{
    const bool init = in.ConsumeBool();
    return [=](Session& s) { s.Open(init); };
}

constexpr StepReader kSteps[] = {FillStep,  PlayToEndStep, SeekStep,  SeekToSampleStep,
                                 IndexAheadStep, LookStep,  CloseStep, ReopenStep};

// Open, a few buffers, the slider to a third, the middle and the end, back to the
// start, a jump to a sample as a loop's A makes it, then on towards the end as far
// as the budget goes.
std::vector<Step> LearnerSession()
{
    const std::uint32_t r = kDeviceBuffer;
    return {
        [=](Session& s) { s.Fill(1, 4093); },
        [=](Session& s) { s.Look(); },
        [=](Session& s) { s.Seek(kSliderRange / 3, kSliderRange); },
        [=](Session& s) { s.Fill(1, r); },
        [=](Session& s) { s.Seek(1, 2); },
        [=](Session& s) { s.Fill(1, r); },
        [=](Session& s) { s.IndexAhead(4096); },
        [=](Session& s) { s.Seek(kSliderRange, kSliderRange); },
        [=](Session& s) { s.Fill(1, r); },
        [=](Session& s) { s.SeekToSample(3000); },
        [=](Session& s) { s.Fill(1, r); },
        [=](Session& s) { s.Seek(0, kSliderRange); },
        [=](Session& s) { s.PlayToEnd(r); },
        [=](Session& s) { s.Look(); },
    };
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static bool quiet = (QuietMessageBoxes(), true);
    static FuzzRecording recording;
    (void)quiet;

    FuzzedDataProvider in(data, size);
    recording.TakeCopies(in);
    const std::vector<Step> steps = FuzzSession<Session>::Read(in, kSteps, &LearnerSession);
    recording.TakeBody(in);

    // The dither's noise carries over between buffers; each input starts it afresh
    // so that a finding replays as it ran.
    Dither::ResetAll();
    Session session(recording);
    session.Open(false);
    for (const Step& step : steps)
        step(session);
    return 0;
}
