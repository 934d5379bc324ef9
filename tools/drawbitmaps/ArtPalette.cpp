// SPDX-License-Identifier: GPL-2.0-or-later
#include "ArtPalette.h"

namespace ArtPalette {

QList<QRgb> ExactColours()
{
    return {kSeekBackground, kVolumeBackground, kPaneBackground, kBodyLight, kBodyShade,
            kPaneRim, kDeck, kDeckEdge, kDivider, kPodEdge, kCapOutline};
}

} // namespace ArtPalette
