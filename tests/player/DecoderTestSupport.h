// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shared ground for the player tests: whole files decoded through CMp3Decoder, through
// libmpg123 (an independent decoder) or read as raw reference PCM.

#include "ScopedBoxes.h"
#include "ScopedEnv.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

class CMp3Decoder;

struct DecodedPcm
{
    std::vector<std::int16_t> samples;   // interleaved when there are two channels
    int channels = 0;
    long sampleRate = 0;
    int durationSeconds = 0;   // as the decoder told it when the decode began
    bool ok = false;

    std::size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// Everything the open decoder still gives, asked for in blocks of 16 KiB, down to the
// last bytes of the call that meets the end.
DecodedPcm DecodeRest(CMp3Decoder& decoder);
// The whole file from a clean dither state, so that two decodes of the same audio
// agree bit for bit.
DecodedPcm DecodeFile(const QString& path);
// libmpg123 with every frame decoded as audio (no gapless trimming, no skipping of
// the encoder's header frame), so its output lines up with ours from byte 0.
DecodedPcm DecodeWithMpg123(const QString& path);
// Raw 16-bit little-endian samples of a file in tests/data.
DecodedPcm ReadRawPcm(const QString& name, int channels, long sampleRate);
// The bytes of a file in tests/data (empty when it cannot be read).
QByteArray ReadTestData(const QString& name);
// Signal-to-noise ratio in dB of test against reference over their common length.
double SnrDb(const std::vector<std::int16_t>& reference, const std::vector<std::int16_t>& test);
