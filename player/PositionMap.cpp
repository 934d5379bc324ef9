// SPDX-License-Identifier: GPL-2.0-or-later
#include "PositionMap.h"

void CPositionMap::Clear(std::int64_t at)
{
    m_first = 0;
    m_count = 1;
    m_stretches[0] = Stretch{0, at, true};
}

void CPositionMap::Begin(std::int64_t written, std::int64_t at, bool advancing)
{
    if (m_count > 0) {
        Stretch& last = m_stretches[(m_first + m_count - 1) % kStretches];
        if (last.written == written) {
            // Nothing of the last stretch was written: it is replaced.
            last = Stretch{written, at, advancing};
            return;
        }
    }
    if (m_count == kStretches) {
        // The oldest stretch was heard long ago.
        m_first = (m_first + 1) % kStretches;
        --m_count;
    }
    m_stretches[(m_first + m_count) % kStretches] = Stretch{written, at, advancing};
    ++m_count;
}

const CPositionMap::Stretch& CPositionMap::StretchAt(std::int64_t heard) const
{
    static const Stretch kNone;
    if (m_count == 0)
        return kNone;
    for (int i = m_count; i-- > 1;) {
        const Stretch& stretch = m_stretches[(m_first + i) % kStretches];
        if (stretch.written <= heard)
            return stretch;
    }
    return m_stretches[m_first];
}

std::int64_t CPositionMap::RecordingSampleAt(std::int64_t heard) const
{
    const Stretch& stretch = StretchAt(heard);
    if (!stretch.advancing || heard < stretch.written)
        return stretch.at;
    return stretch.at + (heard - stretch.written);
}

bool CPositionMap::AdvancesAt(std::int64_t heard) const
{
    return StretchAt(heard).advancing;
}
