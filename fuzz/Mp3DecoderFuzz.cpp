// Plays a recording made of the input bytes as a learner's session drives the
// player thread's decoder: open, play a few buffers, move the slider, play on, look
// at the time, play to the end, open the recording again. The header scan, the Xing
// parse, the duration estimates, every refill of the read buffer and the seeks all
// run on what the fuzzer makes.
//
// The input is the recording followed by its session: the steps and their
// arguments are taken from the end (FuzzedDataProvider takes numbers from the end,
// bytes from the front), the recording is what remains, written `copies` times back
// to back so that a small input reaches the refills of the 40000-byte read buffer.
// A step count of zero plays LearnerSession below, which is what the seeds of
// fuzz/make-seeds ask for. How much one input may play is bounded (kBufferBudget).
//
// A new call of the decoder is one more entry in kSteps: a function that takes its
// arguments from the input and returns what the step does.

#include "Dither.h"
#include "FuzzCheck.h"
#include "FuzzInputFile.h"
#include "Mp3Decoder.h"
#include "TrackInfo.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace {

constexpr int kMaxCopies = 4;
constexpr int kMaxSteps = 24;
constexpr std::uint32_t kDeviceBuffer = 16384;   // what the wave output asks for
// Requests a step may make: the device's, one that is no whole sample frame, tiny
// ones, none at all, and one that is not a power of two.
constexpr std::uint32_t kRequests[] = {kDeviceBuffer, 4093, 4, 1, 0, 4608};
constexpr int kMaxBuffersPerFill = 8;
// How many calls of Fill one input may make in all: at the device's size, about a
// second and a half of 44.1 kHz stereo, enough for a session of a few steps over the
// short recordings the fuzzer makes. Making the samples is most of a run's time, so
// this bounds how fast the target runs.
constexpr int kBufferBudget = 16;
constexpr std::int32_t kSliderRange = 1000;
constexpr std::int32_t kSampleRates[] = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
constexpr std::uint32_t kBytesPerSample = 2;

// A buffer of exactly the size asked for, so that a write past it is caught; kept
// from input to input, as a fresh one for every call cost more than some fills.
std::uint8_t* BufferFor(std::uint32_t request)
{
    static std::map<std::uint32_t, std::vector<std::uint8_t>> buffers;
    std::vector<std::uint8_t>& buffer = buffers[request];
    buffer.resize(request);
    return buffer.data();
}

// One decoder and what the session has seen of it, to check each call against.
class Session
{
public:
    explicit Session(QString path) : m_path(std::move(path)) {}

    void Open(bool init)
    {
        if (init)
            m_decoder->Init();
        const bool opened = m_decoder->Open(m_path);
        FuzzCheck(opened == m_decoder->IsOpen(), "Open agrees with IsOpen");
        TrackInfo info;
        FuzzCheck(m_decoder->GetTrackInfo(&info) == opened, "GetTrackInfo agrees with Open");
        if (opened) {
            CheckInfo(info);
            FuzzCheck(m_decoder->PositionSeconds() == 0, "an opened recording starts at 0 s");
            // The same file opens the same way however the decoder was used before.
            if (m_openedOnce)
                FuzzCheck(SameInfo(info, m_infoAtOpen), "reopening gives the same track information");
            m_infoAtOpen = info;
            m_openedOnce = true;
        } else {
            FuzzCheck(!m_openedOnce, "a recording that opened once opens again");
        }
        m_ended = false;
        m_position = 0;
    }

    void Close()
    {
        m_decoder->Close();
        FuzzCheck(!m_decoder->IsOpen(), "Close closes");
        TrackInfo info;
        FuzzCheck(!m_decoder->GetTrackInfo(&info), "GetTrackInfo fails when closed");
    }

    // Up to `buffers` buffers, fewer when the data ends or the input's budget does.
    void Fill(int buffers, std::uint32_t request)
    {
        for (int i = 0; i < buffers && m_budget > 0; ++i, --m_budget) {
            if (!FillOne(request))
                return;
        }
    }

    void PlayToEnd(std::uint32_t request) { Fill(kBufferBudget, request); }

    void Seek(std::int32_t target, std::int32_t scale)
    {
        const int before = m_decoder->PositionSeconds();
        const bool moved = m_decoder->Seek(target, scale);
        if (!m_decoder->IsOpen() || target < 0 || scale < 1) {
            FuzzCheck(!moved && m_decoder->PositionSeconds() == before,
                      "a seek that cannot be made fails and leaves the position");
            return;
        }
        // The slider at its left end is the start of the recording.
        if (target == 0)
            FuzzCheck(m_decoder->PositionSeconds() == 0, "a seek to 0 is at 0 s");
        m_ended = false;
        m_position = m_decoder->PositionSeconds();
    }

    void Look()
    {
        TrackInfo info;
        FuzzCheck(m_decoder->GetTrackInfo(&info) == m_decoder->IsOpen(), "GetTrackInfo agrees with IsOpen");
        if (m_decoder->IsOpen())
            CheckInfo(info);
        FuzzCheck(m_decoder->PositionSeconds() >= m_position, "looking does not move the position");
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

    // False when the data has ended.
    bool FillOne(std::uint32_t request)
    {
        std::uint32_t length = request;
        const bool more = m_decoder->Fill(BufferFor(request), &length);
        FuzzCheck(length <= request, "Fill writes no more than asked");
        if (!m_decoder->IsOpen()) {
            FuzzCheck(!more && length == 0, "a closed decoder fills nothing");
            return false;
        }
        // The device plays whole sample frames of the format the recording opened with.
        const std::uint32_t frameBytes = kBytesPerSample * (m_infoAtOpen.stereo ? 2 : 1);
        FuzzCheck(length % frameBytes == 0, "Fill writes whole sample frames");
        // The end stays the end until the learner moves the slider. A request smaller
        // than a sample frame asks for nothing, and its answer says nothing of the end.
        const bool asked = request >= frameBytes;
        if (m_ended)
            FuzzCheck(length == 0 && !(asked && more), "after the end nothing more plays until a seek");
        if (asked)
            m_ended = !more;
        const int position = m_decoder->PositionSeconds();
        FuzzCheck(position >= m_position, "playing never goes back in time");
        m_position = position;
        return more;
    }

    QString m_path;
    std::unique_ptr<CMp3Decoder> m_decoder = std::make_unique<CMp3Decoder>();
    TrackInfo m_infoAtOpen;
    bool m_openedOnce = false;
    bool m_ended = false;
    int m_position = 0;
    int m_budget = kBufferBudget;
};

using Step = std::function<void(Session&)>;
// Takes a step's arguments from the input.
using StepReader = Step (*)(FuzzedDataProvider&);

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

constexpr StepReader kSteps[] = {FillStep, PlayToEndStep, SeekStep, LookStep, CloseStep, ReopenStep};
constexpr int kStepKinds = int(sizeof(kSteps) / sizeof(kSteps[0]));

// Open, a few buffers, the slider to a third, the middle and the end, back to the
// start, then on towards the end as far as the budget goes.
std::vector<Step> LearnerSession()
{
    const std::uint32_t r = kDeviceBuffer;
    return {
        [=](Session& s) { s.Fill(2, 4093); },
        [=](Session& s) { s.Look(); },
        [=](Session& s) { s.Seek(kSliderRange / 3, kSliderRange); },
        [=](Session& s) { s.Fill(2, r); },
        [=](Session& s) { s.Seek(1, 2); },
        [=](Session& s) { s.Fill(2, r); },
        [=](Session& s) { s.Seek(kSliderRange, kSliderRange); },
        [=](Session& s) { s.Fill(2, r); },
        [=](Session& s) { s.Seek(0, kSliderRange); },
        [=](Session& s) { s.PlayToEnd(r); },
        [=](Session& s) { s.Look(); },
    };
}

std::vector<Step> ReadSession(FuzzedDataProvider& in)
{
    const int count = in.ConsumeIntegralInRange(0, kMaxSteps);
    if (count == 0)
        return LearnerSession();
    std::vector<Step> steps;
    steps.reserve(std::size_t(count));
    for (int i = 0; i < count; ++i)
        steps.push_back(kSteps[in.ConsumeIntegralInRange(0, kStepKinds - 1)](in));
    return steps;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static bool quiet = (QuietMessageBoxes(), true);
    static FuzzInputFile input("recording.mp3");
    (void)quiet;

    FuzzedDataProvider in(data, size);
    const int copies = in.ConsumeIntegralInRange(1, kMaxCopies);
    const std::vector<Step> steps = ReadSession(in);
    const std::vector<std::uint8_t> body = in.ConsumeRemainingBytes<std::uint8_t>();
    input.Write(body.data(), body.size(), copies);

    // The dither's noise carries over between buffers; each input starts it afresh
    // so that a finding replays as it ran.
    Dither::ResetAll();
    Session session(input.Path());
    session.Open(false);
    for (const Step& step : steps)
        step(session);
    return 0;
}
