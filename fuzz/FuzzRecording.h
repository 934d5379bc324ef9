// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The recording a decoder or playback input holds: the input is the recording
// followed by its session, whose numbers FuzzedDataProvider takes from the end.
// The last of them says how often the recording repeats back to back in the file,
// so that a small input reaches the refills of the decoder's read buffer; what the
// session leaves is the recording.

#include "FuzzInputFile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

class FuzzRecording
{
public:
    static constexpr int kMaxCopies = 4;

    FuzzRecording();

    // Takes the copy count, the first number of the input's end.
    void TakeCopies(FuzzedDataProvider& in);
    // Takes the rest of the input as the recording and writes the file.
    void TakeBody(FuzzedDataProvider& in);

    QString Path() const { return m_file.Path(); }
    std::uint64_t Size() const { return std::uint64_t(m_body.size()) * std::uint64_t(m_copies); }
    // The sample frames of one MPEG audio frame whose header starts at offset (as
    // libmad counts them: 384 in layer I, 576 in layer III of MPEG-2 and 2.5, else
    // 1152); 0 when the file holds no header there.
    int SamplesPerFrameAt(std::uint32_t offset) const;

    // A buffer of exactly that many bytes, so that a write past it is caught; kept
    // from input to input, as a fresh one for every call cost more than some fills.
    static std::uint8_t* Buffer(std::uint32_t bytes, int which = 0);

private:
    std::uint8_t ByteAt(std::uint64_t offset) const { return m_body[offset % m_body.size()]; }

    FuzzInputFile m_file;
    std::vector<std::uint8_t> m_body;
    int m_copies = 1;
};
