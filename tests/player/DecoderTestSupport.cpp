#include "DecoderTestSupport.h"

#include "Mp3Decoder.h"
#include "TempDeviceRoot.h"

#include <QFile>

#include <mpg123.h>

#include <QtEndian>

#include <cmath>
#include <limits>

DecodedPcm DecodeRest(CMp3Decoder& decoder, std::uint32_t blockBytes)
{
    DecodedPcm pcm;
    TrackInfo info;
    pcm.ok = decoder.GetTrackInfo(&info);
    pcm.channels = info.stereo ? 2 : 1;
    pcm.sampleRate = info.sampleRate;
    std::vector<std::int16_t> block(blockBytes / sizeof(std::int16_t));
    for (;;) {
        std::uint32_t bytes = blockBytes;
        const bool more = decoder.Fill(block.data(), &bytes);
        pcm.samples.insert(pcm.samples.end(), block.begin(), block.begin() + bytes / sizeof(std::int16_t));
        if (!more)
            break;
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
    CMp3Decoder decoder;
    return decoder.Open(path) ? DecodeRest(decoder) : DecodedPcm();
}

DecodedPcm DecodeWithMpg123(const QString& path)
{
    DecodedPcm pcm;
    mpg123_init();
    int error = MPG123_OK;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
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
            if (result == MPG123_NEW_FORMAT) {
                int encoding = 0;
                mpg123_getformat(handle, &pcm.sampleRate, &pcm.channels, &encoding);
            }
            const auto* samples = reinterpret_cast<const std::int16_t*>(chunk.data());
            pcm.samples.insert(pcm.samples.end(), samples, samples + done / sizeof(std::int16_t));
        } while (result == MPG123_OK || result == MPG123_NEW_FORMAT);
        pcm.ok = result == MPG123_DONE;
        mpg123_close(handle);
    }
    mpg123_delete(handle);
    return pcm;
}

DecodedPcm ReadRawPcm(const QString& path, int channels, long sampleRate)
{
    DecodedPcm pcm;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return pcm;
    const QByteArray bytes = file.readAll();
    pcm.samples.resize(bytes.size() / 2);
    qFromLittleEndian<std::int16_t>(bytes.constData(), qsizetype(pcm.samples.size()), pcm.samples.data());
    pcm.channels = channels;
    pcm.sampleRate = sampleRate;
    pcm.ok = true;
    return pcm;
}

double SnrDb(const std::vector<std::int16_t>& reference, const std::vector<std::int16_t>& test)
{
    const std::size_t n = std::min(reference.size(), test.size());
    double signal = 0;
    double noise = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double r = reference[i];
        const double d = r - test[i];
        signal += r * r;
        noise += d * d;
    }
    return noise == 0 ? std::numeric_limits<double>::infinity() : 10.0 * std::log10(signal / noise);
}
