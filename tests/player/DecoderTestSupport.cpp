// SPDX-License-Identifier: GPL-2.0-or-later
#include "DecoderTestSupport.h"

#include "Dither.h"
#include "Mp3Decoder.h"
#include "TempDeviceRoot.h"

#include <QFile>
#include <QtEndian>

#include <mpg123.h>

#include <cmath>
#include <limits>

DecodedPcm DecodeRest(CMp3Decoder& decoder)
{
    constexpr std::uint32_t kBlockBytes = 16384;
    DecodedPcm pcm;
    TrackInfo info;
    pcm.ok = decoder.GetTrackInfo(&info);
    pcm.channels = info.stereo ? 2 : 1;
    pcm.sampleRate = info.sampleRate;
    pcm.durationSeconds = info.durationSeconds;
    std::vector<std::int16_t> block(kBlockBytes / sizeof(std::int16_t));
    for (bool more = true; more;) {
        std::uint32_t bytes = kBlockBytes;
        more = decoder.Fill(block.data(), &bytes);
        pcm.samples.insert(pcm.samples.end(), block.begin(), block.begin() + bytes / sizeof(std::int16_t));
    }
    return pcm;
}

QByteArray ReadTestData(const QString& name)
{
    QFile file(TestDataPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

DecodedPcm DecodeFile(const QString& path)
{
    Dither::ResetAll();
    CMp3Decoder decoder;
    return decoder.Open(path) ? DecodeRest(decoder) : DecodedPcm();
}

DecodedPcm DecodeWithMpg123(const QString& path)
{
    DecodedPcm pcm;
    mpg123_init();
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (!handle)
        return pcm;
    mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_IGNORE_INFOFRAME | MPG123_QUIET, 0);
    if (mpg123_open(handle, QFile::encodeName(path).constData()) == MPG123_OK) {
        std::vector<unsigned char> chunk(65536);
        int result = MPG123_OK;
        do {
            std::size_t done = 0;
            result = mpg123_read(handle, chunk.data(), chunk.size(), &done);
            int encoding = 0;
            if (result == MPG123_NEW_FORMAT)
                mpg123_getformat(handle, &pcm.sampleRate, &pcm.channels, &encoding);
            const auto* samples = reinterpret_cast<const std::int16_t*>(chunk.data());
            pcm.samples.insert(pcm.samples.end(), samples, samples + done / sizeof(std::int16_t));
        } while (result == MPG123_OK || result == MPG123_NEW_FORMAT);
        pcm.ok = result == MPG123_DONE;
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return pcm;
}

DecodedPcm ReadRawPcm(const QString& name, int channels, long sampleRate)
{
    const QByteArray bytes = ReadTestData(name);
    DecodedPcm pcm{std::vector<std::int16_t>(std::size_t(bytes.size()) / 2), channels, sampleRate, 0, !bytes.isEmpty()};
    qFromLittleEndian<std::int16_t>(bytes.constData(), qsizetype(pcm.samples.size()), pcm.samples.data());
    return pcm;
}

double SnrDb(const std::vector<std::int16_t>& reference, const std::vector<std::int16_t>& test)
{
    double signal = 0;
    double noise = 0;
    for (std::size_t i = 0; i < std::min(reference.size(), test.size()); ++i) {
        const double r = reference[i];
        signal += r * r;
        noise += (r - test[i]) * (r - test[i]);
    }
    return noise == 0 ? std::numeric_limits<double>::infinity() : 10.0 * std::log10(signal / noise);
}
