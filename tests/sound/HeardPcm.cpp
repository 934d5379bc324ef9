#include "HeardPcm.h"

#include "WavFile.h"

#include <QFile>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint32_t kUnityGain = 0xFFFF;
constexpr double kFullScale = 32768.0;
// A sound, not silence or the dither's last bits: where alignment starts looking.
constexpr int kDistinct = 64;
constexpr double kAlignSeconds = 0.02;

double Db(double ratio)
{
    return 10.0 * std::log10(ratio);
}

}  // namespace

bool HeardPcm::Load(const QString& path, HeardPcm& pcm)
{
    QFile file(path);
    WavSound sound;
    if (!file.open(QIODevice::ReadOnly) || !WavFile::Parse(file.readAll(), sound) ||
        sound.format.bitsPerSample != 16)
        return false;
    pcm.rate = sound.format.sampleRate;
    pcm.channels = sound.format.channels;
    pcm.samples.resize(static_cast<std::size_t>(sound.pcm.size()) / sizeof(std::int16_t));
    std::memcpy(pcm.samples.data(), sound.pcm.constData(), pcm.samples.size() * sizeof(std::int16_t));
    return true;
}

namespace HeardCompare {

long Find(const HeardPcm& haystack, std::size_t from, const HeardPcm& needle, std::size_t at,
          std::size_t length, int tolerance)
{
    const unsigned channels = needle.channels;
    if (channels != haystack.channels || at + length > needle.Frames() || length == 0)
        return -1;
    const std::int16_t* wanted = needle.samples.data() + at * channels;
    const std::size_t count = length * channels;
    for (std::size_t frame = from; frame + length <= haystack.Frames(); ++frame) {
        const std::int16_t* here = haystack.samples.data() + frame * channels;
        std::size_t i = 0;
        while (i < count && std::abs(here[i] - wanted[i]) <= tolerance)
            ++i;
        if (i == count)
            return static_cast<long>(frame);
    }
    return -1;
}

long Align(const HeardPcm& reference, const HeardPcm& recording, std::size_t from, int tolerance)
{
    const auto distinct = std::find_if(reference.samples.begin(), reference.samples.end(),
                                       [](std::int16_t s) { return std::abs(s) >= kDistinct; });
    if (distinct == reference.samples.end())
        return -1;
    const std::size_t start = static_cast<std::size_t>(distinct - reference.samples.begin()) / reference.channels;
    const auto length = std::min<std::size_t>(static_cast<std::size_t>(kAlignSeconds * reference.rate),
                                              reference.Frames() - start);
    const long found = Find(recording, from, reference, start, length, tolerance);
    return found < 0 ? -1 : found - static_cast<long>(start);
}

std::string Windows::Describe() const
{
    return std::to_string(bad) + " of " + std::to_string(checked) + " windows below the goal, the first at frame " +
           std::to_string(firstBadFrame) + ", the worst at " + std::to_string(worstDb) + " dB";
}

Windows Check(const HeardPcm& reference, std::size_t begin, std::size_t end, const HeardPcm& recording,
              long lag, const std::vector<std::uint32_t>& gains)
{
    Windows result;
    const unsigned channels = reference.channels;
    const auto window = std::max<std::size_t>(1, static_cast<std::size_t>(kWindowSeconds * reference.rate));
    const double floorAmplitude = kFullScale * std::pow(10.0, kQuietFloorDbfs / 20.0);
    end = std::min(end, reference.Frames());
    for (std::size_t first = begin; first < end; first += window) {
        const std::size_t last = std::min(end, first + window);
        double signal = 0;
        double error = 0;
        for (std::size_t f = first; f < last; ++f) {
            const long heardFrame = static_cast<long>(f) + lag;
            for (unsigned c = 0; c < channels; ++c) {
                std::int64_t expected = reference.At(f, c);
                if (!gains.empty())
                    expected = expected * gains[c] / kUnityGain;
                const bool inside = heardFrame >= 0 && static_cast<std::size_t>(heardFrame) < recording.Frames();
                const double heard = inside ? recording.At(static_cast<std::size_t>(heardFrame), c) : 0.0;
                signal += static_cast<double>(expected * expected);
                error += (heard - static_cast<double>(expected)) * (heard - static_cast<double>(expected));
            }
        }
        const double floor = floorAmplitude * floorAmplitude * static_cast<double>((last - first) * channels);
        // A window heard exactly counts as far above the goal.
        const double db = error == 0 ? 2 * kRequiredDb + 60 : Db(std::max(signal, floor) / error);
        ++result.checked;
        result.worstDb = std::min(result.worstDb, db);
        if (db < kRequiredDb) {
            if (result.bad == 0)
                result.firstBadFrame = first;
            ++result.bad;
        }
    }
    return result;
}

bool Silent(const HeardPcm& recording, std::size_t begin, std::size_t end)
{
    end = std::min(end, recording.Frames());
    for (std::size_t i = begin * recording.channels; i < end * recording.channels; ++i) {
        if (recording.samples[i] != 0)
            return false;
    }
    return true;
}

}  // namespace HeardCompare
