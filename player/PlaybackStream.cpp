// SPDX-License-Identifier: GPL-2.0-or-later
#include "PlaybackStream.h"

#include "Mp3Decoder.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint32_t kBytesPerSample = 2;
constexpr int kMillisecondsPerSecond = 1000;

}  // namespace

CPlaybackStream::CPlaybackStream(CMp3Decoder& decoder) : m_decoder(decoder) {}

int CPlaybackStream::Channels() const
{
    return m_decoder.Channels();
}

std::uint32_t CPlaybackStream::DeclickFrames() const
{
    return static_cast<std::uint32_t>(m_decoder.SampleRate() * kDeclickMs / kMillisecondsPerSecond);
}

void CPlaybackStream::Restart(bool fadeIn)
{
    m_written = 0;
    m_map.Clear(m_decoder.OutputSample());
    m_pauseLeft = 0;
    m_jumpAfterPause = false;
    m_recordingEnded = false;
    m_rampLeft = fadeIn ? DeclickFrames() : 0;
    m_stretching = m_tempo != kNormalTempo;
    if (m_stretching)
        m_stage.Start(m_decoder.SampleRate(), Channels(), m_tempo);
}

void CPlaybackStream::SetTempo(double tempo)
{
    m_tempo = tempo;
}

void CPlaybackStream::SetLoop(std::int64_t a, std::int64_t b)
{
    m_loopA = std::max<std::int64_t>(a, 0);
    m_loopB = std::max(b, m_loopA);
    m_passes = 0;
    m_loopEnded = false;
}

void CPlaybackStream::ClearLoop()
{
    m_loopA = m_loopB = 0;
    m_passes = 0;
    // A pause already begun ends where it is, and playing goes on from B.
    m_jumpAfterPause = false;
}

void CPlaybackStream::SetShadowing(bool pauseAfterPass, int passes)
{
    m_pauseAfterPass = pauseAfterPass;
    m_passLimit = std::max(passes, kEndlessPasses);
}

bool CPlaybackStream::TakeLoopEnded()
{
    const bool ended = m_loopEnded;
    m_loopEnded = false;
    return ended;
}

std::int64_t CPlaybackStream::ToInput(std::int64_t outputFrames) const
{
    if (!m_stretching)
        return outputFrames;
    // Never more than was written: at the end the stage's last samples, rounded to
    // whole frames, would otherwise reach past the recording's last sample.
    return std::min(static_cast<std::int64_t>(std::llround(static_cast<double>(outputFrames) * m_tempo)), m_written);
}

std::int64_t CPlaybackStream::HeardSample(std::int64_t heardFrames) const
{
    return std::max<std::int64_t>(m_map.RecordingSampleAt(ToInput(heardFrames)), 0);
}

bool CPlaybackStream::AdvancesAt(std::int64_t heardFrames) const
{
    return m_map.AdvancesAt(ToInput(heardFrames));
}

void CPlaybackStream::Close()
{
    m_decoder.Close();
}

bool CPlaybackStream::Fill(void* destination, std::uint32_t* byteCount)
{
    const auto frameBytes = static_cast<std::uint32_t>(kBytesPerSample * Channels());
    const std::uint32_t frames = *byteCount / frameBytes;
    auto* out = static_cast<std::int16_t*>(destination);
    std::uint32_t written = 0;
    const bool more = m_stretching ? FillStretched(out, frames, &written) : ReadRecording(out, frames, &written);
    *byteCount = written * frameBytes;
    return more;
}

bool CPlaybackStream::FillStretched(std::int16_t* out, std::uint32_t frames, std::uint32_t* written)
{
    const std::size_t chunkSamples = std::size_t(kStretchChunk) * Channels();
    if (m_chunk.size() < chunkSamples)
        m_chunk.resize(chunkSamples);
    *written = 0;
    while (*written < frames) {
        *written += m_stage.Take(out + std::size_t(*written) * Channels(), frames - *written);
        if (*written == frames)
            break;
        if (m_recordingEnded)
            return false;   // the stage has given its last samples
        std::uint32_t got = 0;
        const bool more = ReadRecording(m_chunk.data(), kStretchChunk, &got);
        m_stage.Put(m_chunk.data(), got);
        if (!more) {
            m_stage.Flush();
            m_recordingEnded = true;
        }
    }
    return true;
}

bool CPlaybackStream::ReadRecording(std::int16_t* out, std::uint32_t frames, std::uint32_t* written)
{
    *written = 0;
    // A decoder closed under the stream (playing stopped) has nothing more to give,
    // not even the pause after a pass of a loop set since.
    if (!m_decoder.IsOpen())
        return false;
    while (*written < frames) {
        std::int16_t* at = out + std::size_t(*written) * Channels();
        const std::uint32_t room = frames - *written;
        if (m_pauseLeft > 0) {
            *written += WriteSilence(at, room);
            continue;
        }
        std::uint32_t wanted = room;
        if (IsLooping()) {
            const std::int64_t toB = m_loopB - m_decoder.OutputSample();
            if (toB <= 0) {
                EndPass(nullptr, 0);
                continue;
            }
            wanted = static_cast<std::uint32_t>(std::min<std::int64_t>(toB, room));
        }
        std::uint32_t got = 0;
        const bool more = ReadDecoder(at, wanted, &got);
        *written += got;
        m_written += got;
        if (IsLooping() && m_decoder.OutputSample() >= m_loopB) {
            EndPass(at, got);
            continue;
        }
        if (!more) {
            // Repeat-one: the start again, right after the last sample; a recording
            // that gives nothing from its start ends all the same, and so does one
            // whose start cannot be got back to (its decoder closed).
            if (!m_repeat || (got == 0 && m_decoder.OutputSample() == 0))
                return false;
            JumpTo(0);
            if (m_decoder.OutputSample() != 0)
                return false;
        }
    }
    return true;
}

bool CPlaybackStream::ReadDecoder(std::int16_t* out, std::uint32_t frames, std::uint32_t* got)
{
    std::uint32_t bytes = frames * kBytesPerSample * Channels();
    const bool more = m_decoder.Fill(out, &bytes);
    *got = bytes / (kBytesPerSample * Channels());
    if (m_rampLeft > 0)
        RampUp(out, *got);
    return more;
}

std::uint32_t CPlaybackStream::WriteSilence(std::int16_t* out, std::uint32_t frames)
{
    const auto n = static_cast<std::uint32_t>(std::min<std::int64_t>(m_pauseLeft, frames));
    std::memset(out, 0, std::size_t(n) * kBytesPerSample * Channels());
    m_pauseLeft -= n;
    m_written += n;
    if (m_pauseLeft == 0) {
        if (m_jumpAfterPause)
            JumpTo(m_loopA);
        else
            m_map.Begin(m_written, m_decoder.OutputSample());
    }
    return n;
}

// At B: the pass is over. The last samples before B ramp down; then either the pause
// for repeating, or straight back to A; after the last pass playing goes on from B.
void CPlaybackStream::EndPass(std::int16_t* justWritten, std::uint32_t frames)
{
    if (justWritten != nullptr) {
        const std::uint32_t ramp = std::min(frames, DeclickFrames());
        RampDown(justWritten + std::size_t(frames - ramp) * Channels(), ramp);
    }
    const std::int64_t length = m_loopB - m_loopA;
    const bool last = m_passLimit != kEndlessPasses && ++m_passes >= m_passLimit;
    if (last) {
        m_loopA = m_loopB = 0;
        m_loopEnded = true;
    }
    if (m_pauseAfterPass && length > 0) {
        m_pauseLeft = length;
        m_jumpAfterPause = !last;
        m_map.Begin(m_written, m_decoder.OutputSample(), false);
        return;
    }
    if (!last)
        JumpTo(m_loopA);
}

void CPlaybackStream::JumpTo(std::int64_t sample)
{
    if (!m_decoder.SeekToSample(sample)) {
        // Further than the frame index can reach at once: the decoder's estimate.
        constexpr std::int32_t kScale = 1 << 30;
        const double fraction = static_cast<double>(sample) / std::max<std::int64_t>(m_decoder.DurationSamples(), 1);
        m_decoder.Seek(static_cast<std::int32_t>(std::min(fraction, 1.0) * kScale), kScale);
    }
    // A loop that cannot be got back into would jump for ever.
    if (IsLooping() && m_decoder.OutputSample() >= m_loopB) {
        ClearLoop();
        m_loopEnded = true;
    }
    m_map.Begin(m_written, m_decoder.OutputSample());
    m_rampLeft = DeclickFrames();
}

void CPlaybackStream::RampUp(std::int16_t* samples, std::uint32_t frames)
{
    const std::uint32_t total = DeclickFrames();
    const std::uint32_t n = std::min(frames, m_rampLeft);
    for (std::uint32_t i = 0; i < n; ++i) {
        const std::uint32_t step = total - m_rampLeft + i;
        for (int c = 0; c < Channels(); ++c) {
            std::int16_t& s = samples[std::size_t(i) * Channels() + c];
            s = static_cast<std::int16_t>(std::int32_t(s) * std::int32_t(step) / std::int32_t(total));
        }
    }
    m_rampLeft -= n;
}

void CPlaybackStream::RampDown(std::int16_t* samples, std::uint32_t frames) const
{
    for (std::uint32_t i = 0; i < frames; ++i) {
        for (int c = 0; c < Channels(); ++c) {
            std::int16_t& s = samples[std::size_t(i) * Channels() + c];
            s = static_cast<std::int16_t>(std::int32_t(s) * std::int32_t(frames - i) / std::int32_t(frames + 1));
        }
    }
}
