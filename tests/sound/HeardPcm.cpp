// SPDX-License-Identifier: GPL-2.0-or-later
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
    const auto wanted = needle.samples.begin() + static_cast<long>(at * channels);
    const auto within = [tolerance](std::int16_t a, std::int16_t b) { return std::abs(a - b) <= tolerance; };
    for (std::size_t frame = from; frame + length <= haystack.Frames(); ++frame) {
        if (std::equal(wanted, wanted + static_cast<long>(length * channels),
                       haystack.samples.begin() + static_cast<long>(frame * channels), within))
            return static_cast<long>(frame);
    }
    return -1;
}

long Align(const HeardPcm& reference, const HeardPcm& recording)
{
    const auto distinct = std::find_if(reference.samples.begin(), reference.samples.end(),
                                       [](std::int16_t s) { return std::abs(s) >= kDistinct; });
    if (distinct == reference.samples.end())
        return -1;
    const std::size_t start = static_cast<std::size_t>(distinct - reference.samples.begin()) / reference.channels;
    const auto length = std::min<std::size_t>(static_cast<std::size_t>(kAlignSeconds * reference.rate),
                                              reference.Frames() - start);
    const long found = Find(recording, 0, reference, start, length, 0);
    return found < 0 ? -1 : found - static_cast<long>(start);
}

std::size_t FirstDifference(const HeardPcm& reference, std::size_t from, const HeardPcm& recording, long lag)
{
    const unsigned channels = reference.channels;
    for (std::size_t f = from; f < reference.Frames(); ++f) {
        const long h = static_cast<long>(f) + lag;
        const auto frame = reference.samples.begin() + static_cast<long>(f * channels);
        if (h < 0 || static_cast<std::size_t>(h) >= recording.Frames() ||
            !std::equal(frame, frame + channels, recording.samples.begin() + h * channels))
            return f;
    }
    return reference.Frames();
}

std::string Check(const HeardPcm& reference, std::size_t begin, std::size_t end, const HeardPcm& recording,
                  long lag, const std::vector<std::uint32_t>& gains)
{
    std::size_t checked = 0;
    std::size_t bad = 0;
    std::size_t firstBad = 0;   // in the reference
    double worstDb = 1e9;
    const unsigned channels = reference.channels;
    const auto window = std::max<std::size_t>(1, static_cast<std::size_t>(kWindowSeconds * reference.rate));
    const double floor = std::pow(kFullScale * std::pow(10.0, kQuietFloorDbfs / 20.0), 2);
    end = std::min(end, reference.Frames());
    for (std::size_t first = begin; first < end; first += window, ++checked) {
        const std::size_t last = std::min(end, first + window);
        double signal = 0;
        double error = 0;
        for (std::size_t f = first; f < last; ++f) {
            const long h = static_cast<long>(f) + lag;
            const bool inside = h >= 0 && static_cast<std::size_t>(h) < recording.Frames();
            for (unsigned c = 0; c < channels; ++c) {
                const std::int64_t sample = reference.At(f, c);
                const double expected = double(gains.empty() ? sample : sample * gains[c] / kUnityGain);
                const double heard = inside ? recording.At(static_cast<std::size_t>(h), c) : 0.0;
                signal += expected * expected;
                error += (heard - expected) * (heard - expected);
            }
        }
        // A window heard exactly counts as far above the goal.
        signal = std::max(signal, floor * double((last - first) * channels));
        const double db = error == 0 ? 2 * kRequiredDb + 60 : 10.0 * std::log10(signal / error);
        worstDb = std::min(worstDb, db);
        if (db < kRequiredDb && bad++ == 0)
            firstBad = first;
    }
    if (bad == 0)
        return {};
    return std::to_string(bad) + " of " + std::to_string(checked) + " windows below the goal, the first at frame " +
           std::to_string(firstBad) + ", the worst at " + std::to_string(worstDb) + " dB";
}

bool Silent(const HeardPcm& recording, std::size_t begin, std::size_t end)
{
    const auto samples = recording.samples.begin();
    end = std::min(end, recording.Frames());
    return begin >= end || std::all_of(samples + static_cast<long>(begin * recording.channels),
                                       samples + static_cast<long>(end * recording.channels),
                                       [](std::int16_t s) { return s == 0; });
}

}  // namespace HeardCompare
