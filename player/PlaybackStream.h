// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the learner hears of the open recording, between the decoder and the wave
// output: an A-B loop that jumps from B back to A on the sample, with a pause after
// each pass for repeating aloud and a number of passes if asked; the recording again
// from its start after its last sample (repeat-one); and another tempo through the
// tempo stage. At tempo 1.0 without a loop the decoder's samples pass untouched.
//
// It also knows which sample of the recording the listener hears, given how much of
// what it wrote since its last restart has been heard. Used only by the player
// thread.

#include "PcmSource.h"
#include "PositionMap.h"
#include "TempoStage.h"

#include <cstdint>
#include <vector>

class CMp3Decoder;

class CPlaybackStream final : public PcmSource
{
public:
    static constexpr double kNormalTempo = 1.0;
    static constexpr int kEndlessPasses = 0;
    static constexpr int kDeclickMs = 5;          // the ramps either side of a jump
    static constexpr std::uint32_t kStretchChunk = 2048;   // sample frames fed to the stage at once

    explicit CPlaybackStream(CMp3Decoder& decoder);
    CPlaybackStream(const CPlaybackStream&) = delete;
    CPlaybackStream& operator=(const CPlaybackStream&) = delete;

    bool Fill(void* destination, std::uint32_t* byteCount) override;
    void Close() override;

    // The decoder stands where the next sample comes from (a new recording, a seek,
    // a new tempo): what was written before is forgotten. fadeIn ramps the first
    // samples up, so that the jump makes no click.
    void Restart(bool fadeIn = false);
    // Takes effect at the next Restart.
    void SetTempo(double tempo);
    double Tempo() const { return m_tempo; }
    // In samples of the recording; the loop plays [a, b). An empty stretch clears it.
    void SetLoop(std::int64_t a, std::int64_t b);
    void ClearLoop();
    bool IsLooping() const { return m_loopB > m_loopA; }
    void SetRepeat(bool repeat) { m_repeat = repeat; }
    // A pause as long as the loop after each pass, and the passes after which the
    // loop ends and playing goes on (kEndlessPasses: never).
    void SetShadowing(bool pauseAfterPass, int passes);
    // True once after the loop ended because its passes were done.
    bool TakeLoopEnded();

    // The sample of the recording heard once heardFrames sample frames of what was
    // written since the restart have been heard.
    std::int64_t HeardSample(std::int64_t heardFrames) const;
    // Whether the recording moves on there (not in a pause after a pass).
    bool AdvancesAt(std::int64_t heardFrames) const;

private:
    bool FillStretched(std::int16_t* out, std::uint32_t frames, std::uint32_t* written);
    // The recording as the loop, the pauses and repeat-one make it, before any
    // change of tempo; false once it has ended.
    bool ReadRecording(std::int16_t* out, std::uint32_t frames, std::uint32_t* written);
    std::uint32_t WriteSilence(std::int16_t* out, std::uint32_t frames);
    bool ReadDecoder(std::int16_t* out, std::uint32_t frames, std::uint32_t* got);
    void EndPass(std::int16_t* justWritten, std::uint32_t frames);
    void JumpTo(std::int64_t sample);
    void RampUp(std::int16_t* samples, std::uint32_t frames);
    void RampDown(std::int16_t* samples, std::uint32_t frames) const;
    std::uint32_t DeclickFrames() const;
    std::int64_t ToInput(std::int64_t outputFrames) const;
    int Channels() const;

    CMp3Decoder& m_decoder;
    CTempoStage m_stage;
    CPositionMap m_map;
    std::vector<std::int16_t> m_chunk;
    double m_tempo = kNormalTempo;
    bool m_stretching = false;          // the tempo in force since the restart is not 1.0
    bool m_recordingEnded = false;
    std::int64_t m_written = 0;         // sample frames of the recording's side since the restart
    std::int64_t m_loopA = 0;
    std::int64_t m_loopB = 0;
    bool m_repeat = false;
    bool m_pauseAfterPass = false;
    int m_passLimit = kEndlessPasses;
    int m_passes = 0;
    bool m_loopEnded = false;
    std::int64_t m_pauseLeft = 0;       // silence still to write after a pass
    bool m_jumpAfterPause = false;
    std::uint32_t m_rampLeft = 0;       // samples still to ramp up after a jump
};
