// SPDX-License-Identifier: GPL-2.0-or-later
// Plays a recording made of the input bytes through the playback stream as the
// player thread drives it: the device's fills, an A-B loop set anywhere (B before A,
// past the end, negative), a pause after each pass and a number of passes, repeat-one
// on and off, the tempo from 0.5 to 2.0 and back with the restart at the heard
// sample, jumps to a sample or along the slider, the frame index reading on, close
// and reopen. The input's layout is the decoder target's (FuzzRecording): the steps
// from the end, the recording the rest; a step count of zero plays LearnerSession.
//
// Beside what must hold of any fill (no more than asked, whole sample frames, the
// heard sample inside the recording, bounded work), a second decoder over the same
// file follows the stream's: while the stream plays at tempo 1.0 without a loop its
// samples must be exactly that decoder's, and at other tempos it must convert the
// same samples in the same order. The dither's state is the process's, so each side
// converts from the same state in turn. Once a loop or repeat-one may have made the
// stream jump on its own, the second decoder can no longer follow and is closed.

#include "Dither.h"
#include "FuzzCheck.h"
#include "FuzzRecording.h"
#include "FuzzSession.h"
#include "Mp3Decoder.h"
#include "PlaybackStream.h"
#include "TrackInfo.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <functional>
#include <limits>
#include <vector>

namespace {

constexpr std::uint32_t kDeviceBuffer = 16384;
// The device's size, one that is no whole sample frame, a tiny one and none.
constexpr std::uint32_t kRequests[] = {kDeviceBuffer, 4093, 4, 0};
constexpr int kMaxBuffersPerFill = 6;
// Bytes one input may ask of the stream in all (see Mp3DecoderFuzz.cpp): six device
// buffers; what the second decoder and the tempo stage cost comes on top.
constexpr std::uint64_t kByteBudget = 6 * std::uint64_t(kDeviceBuffer);
constexpr std::uint32_t kLeastCharge = 1024;
// Tempos the learner can choose, in hundredths, and the ends of the range.
constexpr int kTempos[] = {50, 75, 100, 125, 150, 200};
constexpr int kSlowest = 50;
constexpr int kFastest = 200;
constexpr double kHundredths = 100.0;
constexpr int kPerMille = 1000;
constexpr int kMillisecondsPerSecond = 1000;
constexpr std::int32_t kSliderRange = 1000;
constexpr std::uint32_t kIndexBudgets[] = {0, 417, 4096, CFrameIndex::kChunkSize};
constexpr std::uint32_t kBytesPerSample = 2;
// Processor time one fill may take: far more than any fill of a device buffer
// needs, far less than the fuzzer's own limit for a hang.
constexpr double kMostSecondsPerFill = 2.0;

double ProcessSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

using DitherStates = std::array<DitherState, Dither::kOutputChannels>;

DitherStates SaveDither()
{
    return {Dither::Channel(Dither::kLeft), Dither::Channel(Dither::kRight)};
}

void RestoreDither(const DitherStates& states)
{
    Dither::Channel(Dither::kLeft) = states[0];
    Dither::Channel(Dither::kRight) = states[1];
}

bool SameDither(const DitherStates& a, const DitherStates& b)
{
    for (std::size_t c = 0; c < a.size(); ++c) {
        if (a[c].error0 != b[c].error0 || a[c].error1 != b[c].error1 || a[c].error2 != b[c].error2 ||
            a[c].random != b[c].random)
            return false;
    }
    return true;
}

class StreamSession
{
public:
    explicit StreamSession(const FuzzRecording& recording) : m_recording(recording) {}

    // As the engine opens a track: the decoder, then the stream from its start.
    void Open()
    {
        m_decoder.Open(m_recording.Path());
        if (m_following)
            m_reference.Open(m_recording.Path());
        Restart(false);
    }

    void Close()
    {
        m_stream.Close();
        m_reference.Close();
    }

    void Fill(int buffers, std::uint32_t request)
    {
        const std::uint32_t charge = std::max(request, kLeastCharge);
        for (int i = 0; i < buffers && m_budget >= charge; ++i) {
            m_budget -= charge;
            FillOne(request);
        }
    }

    // The slider: the decoder's seek, then the stream from there.
    void Seek(std::int32_t target, std::int32_t scale)
    {
        m_decoder.Seek(target, scale);
        if (m_following)
            m_reference.Seek(target, scale);
        Restart(false);
    }

    // A jump to a sample as the engine makes it, exact where it can be, else along
    // the slider's scale.
    void RestartAt(std::int64_t sample, bool fadeIn)
    {
        JumpTo(m_decoder, sample);
        if (m_following)
            JumpTo(m_reference, sample);
        Restart(fadeIn);
    }

    void SetLoop(std::int64_t a, std::int64_t b, bool restartAtA)
    {
        m_stream.SetLoop(a, b);
        FuzzCheck(m_stream.IsLooping() == (b > std::max<std::int64_t>(a, 0)), "a loop is set exactly when B lies after A");
        if (restartAtA)
            RestartAt(a, true);
    }

    void ClearLoop()
    {
        m_stream.ClearLoop();
        FuzzCheck(!m_stream.IsLooping(), "a cleared loop is no loop");
    }

    void SetShadowing(bool pause, int passes)
    {
        m_stream.SetShadowing(pause, passes);
        m_pauseOn = pause;
        m_pausesSinceRestart = m_pausesSinceRestart || pause;
    }

    void SetRepeat(bool repeat)
    {
        m_stream.SetRepeat(repeat);
        m_repeat = repeat;
        m_repeatSinceRestart = m_repeatSinceRestart && repeat;
    }

    // The engine's change of tempo: the recording goes on from the heard sample.
    void SetTempo(int hundredths, std::int64_t heardPerMille, bool restart)
    {
        const double tempo = std::clamp(hundredths, kSlowest, kFastest) / kHundredths;
        const std::int64_t heard = m_stream.HeardSample(m_writtenSinceRestart * heardPerMille / kPerMille);
        m_stream.SetTempo(tempo);
        FuzzCheck(m_stream.Tempo() == tempo, "the tempo is the one set");
        if (restart)
            RestartAt(heard, true);
    }

    void IndexAhead(std::uint32_t budget)
    {
        m_decoder.IndexAhead(budget);
        // The second decoder's index is left behind: what plays must not depend on
        // how far an index has read.
    }

    void Look()
    {
        TrackInfo info;
        m_decoder.GetTrackInfo(&info);
        if (m_following)
            m_reference.GetTrackInfo(&info);
        m_stream.TakeLoopEnded();
    }

private:
    static void JumpTo(CMp3Decoder& decoder, std::int64_t sample)
    {
        if (decoder.SeekToSample(sample))
            return;
        constexpr std::int32_t kScale = 1 << 30;
        const double fraction = double(sample) / double(std::max<std::int64_t>(decoder.DurationSamples(), 1));
        decoder.Seek(static_cast<std::int32_t>(std::clamp(fraction, 0.0, 1.0) * kScale), kScale);
    }

    void Restart(bool fadeIn)
    {
        m_stream.Restart(fadeIn);
        m_writtenSinceRestart = 0;
        m_stretching = m_stream.Tempo() != CPlaybackStream::kNormalTempo;
        m_unrampedFrom = fadeIn ? m_decoder.SampleRate() * CPlaybackStream::kDeclickMs / kMillisecondsPerSecond : 0;
        m_pausesSinceRestart = m_pauseOn;
        m_repeatSinceRestart = m_repeat;
        m_highest = std::max(m_highest, m_decoder.OutputSample());
        m_ended = false;
    }

    int FrameBytes() const { return int(kBytesPerSample) * m_decoder.Channels(); }

    // The end of the recording as far as anything can tell: the frames the index
    // knows once it knows them all, else the larger of the estimate and what played.
    std::int64_t RecordingEnd() const
    {
        if (m_decoder.IsOpen() && m_decoder.Index().IsComplete())
            return std::int64_t(m_decoder.Index().Count()) *
                   m_recording.SamplesPerFrameAt(m_decoder.FirstFrameOffset());
        return std::max(m_decoder.DurationSamples(), m_highest);
    }

    void FillOne(std::uint32_t request)
    {
        // The stream jumps on its own at B, and at the end with repeat-one; a loop
        // also ramps the samples before B down.
        const bool looping = m_stream.IsLooping();
        const bool plain = !m_stretching;
        const std::int64_t before = m_decoder.OutputSample();
        const DitherStates ditherBefore = SaveDither();

        std::uint8_t* out = FuzzRecording::Buffer(request, 0);
        std::uint32_t length = request;
        const double started = ProcessSeconds();
        const bool more = m_stream.Fill(out, &length);
        FuzzCheck(ProcessSeconds() - started < kMostSecondsPerFill, "a fill takes bounded work");
        FuzzCheck(length <= request, "Fill writes no more than asked");
        FuzzCheck(length % std::uint32_t(FrameBytes()) == 0, "Fill writes whole sample frames");
        const std::int64_t frames = length / std::uint32_t(FrameBytes());
        m_writtenSinceRestart += frames;
        m_highest = std::max(m_highest, m_decoder.OutputSample());
        if (request >= std::uint32_t(FrameBytes()))
            CheckEnd(more, length, looping);
        CheckHeard();
        if (!m_following)
            return;
        // At tempo 1.0 a stream that jumped (or paused) has written more than its
        // decoder moved on; without a loop or repeat-one it never does.
        const bool moved = m_decoder.OutputSample() != before + frames;
        if (plain && !looping && !m_repeat)
            FuzzCheck(!moved, "at tempo 1.0 the stream writes what its decoder gives");
        if (looping || (m_repeat && (moved || !plain)) || !m_decoder.IsOpen()) {
            StopFollowing();
            return;
        }
        const DitherStates ditherAfter = SaveDither();
        RestoreDither(ditherBefore);
        if (plain)
            CompareWithReference(out, length, request, more);
        else
            CatchUpReference(m_decoder.OutputSample() - before);
        FuzzCheck(SameDither(SaveDither(), ditherAfter), "both decoders convert the same samples");
        FuzzCheck(m_reference.OutputSample() == m_decoder.OutputSample(), "both decoders stand at the same sample");
    }

    // The stream at tempo 1.0 without a loop is its decoder: the same bytes, the same
    // end. Only the ramp after a jump that fades in differs.
    void CompareWithReference(const std::uint8_t* out, std::uint32_t length, std::uint32_t request, bool more)
    {
        std::uint8_t* expected = FuzzRecording::Buffer(request, 1);
        std::uint32_t expectedLength = request;
        const bool expectedMore = m_reference.Fill(expected, &expectedLength);
        FuzzCheck(expectedLength == length, "at tempo 1.0 the stream gives what its decoder gives");
        const std::int64_t frameBytes = FrameBytes();
        const std::int64_t writtenBefore = m_writtenSinceRestart - length / frameBytes;
        const std::int64_t skipFrames = std::clamp<std::int64_t>(m_unrampedFrom - writtenBefore, 0, length / frameBytes);
        const std::size_t skip = std::size_t(skipFrames * frameBytes);
        FuzzCheck(length == skip || std::memcmp(out + skip, expected + skip, length - skip) == 0,
                  "at tempo 1.0 without a loop the samples are the decoder's");
        if (request >= std::uint32_t(frameBytes))
            FuzzCheck(more == expectedMore, "at tempo 1.0 the stream ends where its decoder does");
    }

    // At another tempo the stream reads its decoder ahead of what it writes; the
    // second decoder reads as far.
    void CatchUpReference(std::int64_t frames)
    {
        const std::int64_t frameBytes = FrameBytes();
        while (frames > 0) {
            const auto bytes = static_cast<std::uint32_t>(std::min<std::int64_t>(frames * frameBytes, kDeviceBuffer));
            std::uint32_t length = bytes;
            const bool more = m_reference.Fill(FuzzRecording::Buffer(bytes, 1), &length);
            frames -= length / frameBytes;
            if (!more || length == 0)
                break;
        }
    }

    void StopFollowing()
    {
        m_following = false;
        m_reference.Close();
    }

    // With repeat-one the stream does not end unless the recording gives nothing;
    // without it (and without a loop to go back to, whether still set or set when
    // the fill began: a loop set behind the end sends the stream back to its A, and
    // its last pass may end within the fill) an end stays the end until a restart.
    // At another tempo the recording's end comes before the stage's last samples:
    // repeat-one set while they drain comes too late, as it does at 1.0 once the
    // stream has ended.
    void CheckEnd(bool more, std::uint32_t length, bool loopedAtStart)
    {
        if (m_ended && !m_repeat && !loopedAtStart && !m_stream.IsLooping())
            FuzzCheck(!more && length == 0, "after the end nothing more plays until a restart");
        if (!more && !m_ended && m_repeat && (!m_stretching || m_repeatSinceRestart) && m_decoder.IsOpen())
            FuzzCheck(RecordingGivesNothing(), "with repeat-one a recording that plays never ends");
        m_ended = !more;
    }

    bool RecordingGivesNothing() const
    {
        const DitherStates dither = SaveDither();
        CMp3Decoder fresh;
        std::uint32_t length = kDeviceBuffer;
        const bool nothing = !fresh.Open(m_recording.Path()) ||
                             (!fresh.Fill(FuzzRecording::Buffer(kDeviceBuffer, 2), &length) && length == 0);
        RestoreDither(dither);
        return nothing;
    }

    // Whatever part of what was written has been heard, the heard sample lies in the
    // recording; at tempo 1.0, once all of it is heard, it is where the decoder stands.
    void CheckHeard() const
    {
        const std::int64_t end = RecordingEnd();
        for (const std::int64_t heard : {std::int64_t(0), m_writtenSinceRestart / 3, m_writtenSinceRestart}) {
            const std::int64_t sample = m_stream.HeardSample(heard);
            FuzzCheck(sample >= 0, "the heard sample is never negative");
            FuzzCheck(sample <= end, "the heard sample lies within the recording");
            if (!m_pausesSinceRestart)
                FuzzCheck(m_stream.AdvancesAt(heard), "without pauses the recording always moves on");
        }
        if (!m_stretching)
            FuzzCheck(m_stream.HeardSample(m_writtenSinceRestart) == m_decoder.OutputSample(),
                      "all that was written heard is where the decoder stands");
    }

    const FuzzRecording& m_recording;
    CMp3Decoder m_decoder;
    CPlaybackStream m_stream{m_decoder};
    CMp3Decoder m_reference;
    bool m_following = true;
    bool m_stretching = false;
    bool m_repeat = false;
    bool m_repeatSinceRestart = false;   // on at the restart and ever since
    bool m_pauseOn = false;
    bool m_pausesSinceRestart = false;
    bool m_ended = false;
    std::int64_t m_writtenSinceRestart = 0;   // sample frames
    std::int64_t m_unrampedFrom = 0;          // sample frames since the restart
    std::int64_t m_highest = 0;               // the furthest sample the decoder reached
    std::uint64_t m_budget = kByteBudget;
};

using Step = FuzzSession<StreamSession>::Step;
using StepReader = FuzzSession<StreamSession>::StepReader;

// A sample anywhere: a fraction of a second's worth, around a frame's edge, any
// number (negative and far past the end included).
std::int64_t ReadSample(FuzzedDataProvider& in)
{
    constexpr std::int64_t kFrameEdge = 1152;
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return in.ConsumeIntegralInRange<std::int64_t>(0, 1 << 16);
    case 1: return in.ConsumeIntegralInRange<std::int64_t>(0, 64) * kFrameEdge / 2 + in.ConsumeIntegralInRange(-1, 1);
    case 2: return -in.ConsumeIntegralInRange<std::int64_t>(1, 1 << 20);
    default: return in.ConsumeIntegral<std::int64_t>();
    }
}

Step FillStep(FuzzedDataProvider& in)
{
    const int buffers = in.ConsumeIntegralInRange(1, kMaxBuffersPerFill);
    const std::uint32_t request = in.PickValueInArray(kRequests);
    return [=](StreamSession& s) { s.Fill(buffers, request); };
}

Step LoopStep(FuzzedDataProvider& in)
{
    const std::int64_t a = ReadSample(in);
    std::int64_t b = 0;
    if (in.ConsumeBool()) {
        // A short stretch from A (or one that ends before it), as far as the numbers go.
        const std::int64_t length = in.ConsumeIntegralInRange<std::int64_t>(-2000, 40000);
        if (__builtin_add_overflow(a, length, &b))
            b = length > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    } else {
        b = ReadSample(in);
    }
    const bool restart = in.ConsumeBool();
    return [=](StreamSession& s) { s.SetLoop(a, b, restart); };
}

Step ClearLoopStep(FuzzedDataProvider&)
{
    return [](StreamSession& s) { s.ClearLoop(); };
}

Step ShadowingStep(FuzzedDataProvider& in)
{
    const bool pause = in.ConsumeBool();
    const int passes = in.ConsumeBool() ? in.ConsumeIntegralInRange(0, 3) : in.ConsumeIntegral<int>();
    return [=](StreamSession& s) { s.SetShadowing(pause, passes); };
}

Step RepeatStep(FuzzedDataProvider& in)
{
    const bool repeat = in.ConsumeBool();
    return [=](StreamSession& s) { s.SetRepeat(repeat); };
}

Step TempoStep(FuzzedDataProvider& in)
{
    const int hundredths = in.ConsumeBool() ? in.PickValueInArray(kTempos) : in.ConsumeIntegralInRange(kSlowest, kFastest);
    const std::int64_t heard = in.ConsumeIntegralInRange(0, kPerMille);
    const bool restart = in.ConsumeIntegralInRange(0, 3) != 0;
    return [=](StreamSession& s) { s.SetTempo(hundredths, heard, restart); };
}

Step RestartAtStep(FuzzedDataProvider& in)
{
    const std::int64_t sample = ReadSample(in);
    const bool fadeIn = in.ConsumeBool();
    return [=](StreamSession& s) { s.RestartAt(sample, fadeIn); };
}

Step SeekStep(FuzzedDataProvider& in)
{
    const std::int32_t target = in.ConsumeIntegralInRange<std::int32_t>(0, kSliderRange);
    return [=](StreamSession& s) { s.Seek(target, kSliderRange); };
}

Step IndexAheadStep(FuzzedDataProvider& in)
{
    const std::uint32_t budget = in.PickValueInArray(kIndexBudgets);
    return [=](StreamSession& s) { s.IndexAhead(budget); };
}

Step LookStep(FuzzedDataProvider&)
{
    return [](StreamSession& s) { s.Look(); };
}

Step CloseStep(FuzzedDataProvider&)
{
    return [](StreamSession& s) { s.Close(); };
}

Step ReopenStep(FuzzedDataProvider&)
{
    return [](StreamSession& s) { s.Open(); };
}

constexpr StepReader kSteps[] = {FillStep,   FillStep,    LoopStep,       ClearLoopStep, ShadowingStep,
                                 RepeatStep, TempoStep,   RestartAtStep,  SeekStep,      IndexAheadStep,
                                 LookStep,   CloseStep,   ReopenStep};

// Play a little, mark a loop of a quarter second with two passes and pauses, play
// it through, play on at 0.75, back to 1.0 from the heard sample, repeat-one to the
// end of the budget.
std::vector<Step> LearnerSession()
{
    const std::uint32_t r = kDeviceBuffer;
    return {
        [=](StreamSession& s) { s.Fill(1, r); },
        [=](StreamSession& s) { s.SetShadowing(true, 2); },
        [=](StreamSession& s) { s.SetLoop(2000, 7000, true); },
        [=](StreamSession& s) { s.Fill(2, r); },
        [=](StreamSession& s) { s.Look(); },
        [=](StreamSession& s) { s.SetTempo(75, kPerMille / 2, true); },
        [=](StreamSession& s) { s.Fill(1, r); },
        [=](StreamSession& s) { s.SetTempo(100, kPerMille, true); },
        [=](StreamSession& s) { s.SetRepeat(true); },
        [=](StreamSession& s) { s.Fill(2, r); },
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
    const std::vector<Step> steps = FuzzSession<StreamSession>::Read(in, kSteps, &LearnerSession);
    recording.TakeBody(in);

    Dither::ResetAll();
    StreamSession session(recording);
    session.Open();
    for (const Step& step : steps)
        step(session);
    return 0;
}
