#pragma once
// Decoding whole files for the decoder tests: through CMp3Decoder, through libmpg123
// (an independent decoder), or from raw reference PCM; and comparing the results.

#include <QString>

#include <cstdint>
#include <vector>

class CMp3Decoder;

struct DecodedPcm
{
    std::vector<std::int16_t> samples;   // interleaved when there are two channels
    int channels = 0;
    long sampleRate = 0;
    bool ok = false;

    std::size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// Everything the open decoder still gives, asked for in blocks of blockBytes, down to
// the last bytes of the call that meets the end.
DecodedPcm DecodeRest(CMp3Decoder& decoder, std::uint32_t blockBytes = 16384);
// Opens the file and decodes all of it.
DecodedPcm DecodeFile(const QString& path);
// libmpg123 with every frame decoded as audio (no gapless trimming, no skipping of
// the encoder's header frame), so its output lines up with ours from byte 0.
DecodedPcm DecodeWithMpg123(const QString& path);
// Raw 16-bit little-endian samples.
DecodedPcm ReadRawPcm(const QString& path, int channels, long sampleRate);

// Signal-to-noise ratio in dB of test against reference over their common length.
double SnrDb(const std::vector<std::int16_t>& reference, const std::vector<std::int16_t>& test);
