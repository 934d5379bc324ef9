// SPDX-License-Identifier: GPL-2.0-or-later
#include "PanelLayout.h"

#include <cmath>

namespace PanelLayout {

QRect SliderReach(const QRect& dialogUnits)
{
    const double left = dialogUnits.x() * kPixelsPerDialogUnit;
    const double top = dialogUnits.y() * kPixelsPerDialogUnit;
    const double right = left + dialogUnits.width() * kPixelsPerDialogUnit;
    const double bottom = top + dialogUnits.height() * kPixelsPerDialogUnit;
    return FromEdges(int(std::floor(left)), int(std::floor(top)), int(std::ceil(right)),
                     int(std::ceil(bottom)));
}

} // namespace PanelLayout
