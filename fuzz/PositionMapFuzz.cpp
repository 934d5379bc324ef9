// SPDX-License-Identifier: GPL-2.0-or-later
// Drives the map from written to heard samples (CPositionMap) as the playback stream
// does: stretches begun as writing goes on (never going back), some of them pauses,
// the map cleared at restarts, and questions about any amount heard, negative and
// beyond what was written included. Every answer is checked against a plain list of
// the stretches the map keeps (its last kStretches): within a stretch the heard
// sample moves on one for one, or stands still in a pause; before the oldest kept
// stretch it is that stretch's start.

#include "FuzzCheck.h"
#include "PositionMap.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

namespace {

constexpr int kMaxOperations = 400;

struct Stretch
{
    std::int64_t written;
    std::int64_t at;
    bool advancing;
};

// The stretches as a list that never forgets, with the map's rule that a stretch
// begun where the last one began replaces it.
class Model
{
public:
    void Clear(std::int64_t at) { m_stretches.assign(1, Stretch{0, at, true}); }

    void Begin(std::int64_t written, std::int64_t at, bool advancing)
    {
        if (!m_stretches.empty() && m_stretches.back().written == written)
            m_stretches.back() = Stretch{written, at, advancing};
        else
            m_stretches.push_back(Stretch{written, at, advancing});
    }

    std::int64_t LastWritten() const { return m_stretches.empty() ? 0 : m_stretches.back().written; }

    // The kept stretch that holds heard, or the oldest kept one before them all; a map
    // never begun nor cleared reads as one stretch from 0.
    const Stretch& At(std::int64_t heard) const
    {
        static const Stretch kNone{0, 0, true};
        if (m_stretches.empty())
            return kNone;
        const std::size_t first =
            m_stretches.size() > std::size_t(CPositionMap::kStretches) ? m_stretches.size() - CPositionMap::kStretches : 0;
        for (std::size_t i = m_stretches.size(); i-- > first + 1;) {
            if (m_stretches[i].written <= heard)
                return m_stretches[i];
        }
        return m_stretches[first];
    }

private:
    std::vector<Stretch> m_stretches;
};

std::int64_t ReadStep(FuzzedDataProvider& in)
{
    switch (in.ConsumeIntegralInRange(0, 3)) {
    case 0: return 0;
    case 1: return in.ConsumeIntegralInRange<std::int64_t>(1, 64);
    case 2: return in.ConsumeIntegralInRange<std::int64_t>(1, 1 << 20);
    default: return in.ConsumeIntegralInRange<std::int64_t>(0, std::int64_t(1) << 40);
    }
}

std::int64_t ReadSample(FuzzedDataProvider& in)
{
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int64_t>(0, 1 << 24) : in.ConsumeIntegral<std::int32_t>();
}

void Ask(const CPositionMap& map, const Model& model, std::int64_t heard)
{
    const std::int64_t sample = map.RecordingSampleAt(heard);
    const bool advancing = map.AdvancesAt(heard);
    const Stretch& s = model.At(heard);
    FuzzCheck(advancing == s.advancing, "the map knows which stretches are pauses");
    const std::int64_t expected = s.advancing && heard >= s.written ? s.at + (heard - s.written) : s.at;
    FuzzCheck(sample == expected, "within a stretch the heard sample moves on one for one, or stands in a pause");
    // One sample further on in the same stretch is one sample further, or the same.
    if (heard >= s.written && &model.At(heard + 1) == &s)
        FuzzCheck(map.RecordingSampleAt(heard + 1) == sample + (s.advancing ? 1 : 0), "the map is monotonic in a stretch");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    CPositionMap map;
    Model model;
    std::int64_t written = 0;
    for (int i = 0; i < kMaxOperations && in.remaining_bytes() > 0; ++i) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            const std::int64_t at = ReadSample(in);
            map.Clear(at);
            model.Clear(at);
            written = 0;
            break;
        }
        case 1: {
            written += ReadStep(in);
            const std::int64_t at = ReadSample(in);
            const bool advancing = in.ConsumeIntegralInRange(0, 3) != 0;
            map.Begin(written, at, advancing);
            model.Begin(written, at, advancing);
            break;
        }
        case 2: {
            // Anywhere in what was written, or beyond it, or before it.
            const std::int64_t heard = in.ConsumeBool() ? in.ConsumeIntegralInRange<std::int64_t>(0, written + 1)
                                                        : in.ConsumeIntegral<std::int32_t>();
            Ask(map, model, heard);
            break;
        }
        default:
            Ask(map, model, model.LastWritten());
            Ask(map, model, model.LastWritten() - 1);
            break;
        }
    }
    return 0;
}
