// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The colours of the panel. Two of them are not ours to choose: the trackbars paint
// their whole rectangle in the background colours the main view gives them, so the
// skin uses exactly those colours wherever a trackbar may lie, and builds the rest of
// the panel around them.

#include <QColor>
#include <QList>

namespace ArtPalette {

// A 0x00BBGGRR colour reference as an RGB value.
constexpr QRgb FromColorRef(unsigned colorRef)
{
    return qRgb(colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

// Given by the main view's slider set-up.
inline constexpr QRgb kSeekBackground = FromColorRef(0x993125);
inline constexpr QRgb kVolumeBackground = FromColorRef(0xB75158);
inline constexpr QRgb kThumb = FromColorRef(0x0067D0);
inline constexpr QRgb kChannel = FromColorRef(0x35B2FF);
// The text pane's first-start background, which the logo continues.
inline constexpr QRgb kPaneBackground = FromColorRef(0x5E0000);

// The body of the device is the seek slider's own colour, so that trackbar melts in.
inline constexpr QRgb kBody = kSeekBackground;
inline constexpr QRgb kBodyLight = qRgb(72, 86, 194);
inline constexpr QRgb kBodyShade = qRgb(22, 30, 104);
inline constexpr QRgb kPaneRim = qRgb(10, 13, 52);
inline constexpr QRgb kDeck = qRgb(24, 31, 110);
inline constexpr QRgb kDeckEdge = qRgb(14, 19, 76);
inline constexpr QRgb kDivider = qRgb(66, 80, 182);
inline constexpr QRgb kPodEdge = qRgb(58, 52, 146);

// Button caps: raised, pressed and latched (a toggle that is on).
inline constexpr QRgb kCapTop = qRgb(76, 92, 204);
inline constexpr QRgb kCapBottom = qRgb(52, 66, 172);
inline constexpr QRgb kCapHighlight = qRgb(122, 138, 236);
inline constexpr QRgb kCapOutline = qRgb(12, 16, 70);
inline constexpr QRgb kCapPressedTop = qRgb(26, 33, 112);
inline constexpr QRgb kCapPressedBottom = qRgb(38, 48, 138);
inline constexpr QRgb kCapInnerShadow = qRgb(12, 15, 60);

// Glyphs.
inline constexpr QRgb kGlyph = qRgb(240, 243, 255);
inline constexpr QRgb kGlyphPressed = qRgb(206, 214, 246);
inline constexpr QRgb kGlyphDim = qRgb(150, 162, 218);
inline constexpr QRgb kGlyphLit = kChannel;
inline constexpr QRgb kGlyphOnAmber = qRgb(26, 30, 96);

// The round play and pause key, in the sliders' amber.
inline constexpr QRgb kDiscTop = qRgb(255, 196, 88);
inline constexpr QRgb kDiscBottom = qRgb(226, 122, 14);
inline constexpr QRgb kDiscRim = qRgb(140, 64, 0);
inline constexpr QRgb kDiscPressedTop = qRgb(200, 100, 0);
inline constexpr QRgb kDiscPressedBottom = qRgb(232, 142, 30);
inline constexpr QRgb kDiscDimTop = qRgb(150, 142, 168);
inline constexpr QRgb kDiscDimBottom = qRgb(110, 104, 140);
inline constexpr QRgb kDiscDimRim = qRgb(58, 56, 100);

// The time texts are drawn in white on the body colour.
inline constexpr QRgb kTimeText = qRgb(255, 255, 255);

// Colours that must survive the reduction to a palette exactly, because the skin
// and the faces drawn over it have to meet without a seam.
QList<QRgb> ExactColours();

// The listening motif shared by the logo and the program's icon: a vellum book under
// headphones on a deep blue glow.
constexpr QRgb kTopBlue = qRgb(22, 32, 128);
constexpr QRgb kGlow = qRgb(52, 70, 178);
constexpr QRgb kVellum = qRgb(246, 236, 212);
constexpr QRgb kVellumShade = qRgb(214, 198, 166);
constexpr QRgb kPageEdge = qRgb(170, 150, 116);
constexpr QRgb kInk = qRgb(160, 146, 124);
constexpr QRgb kBand = qRgb(176, 188, 240);

} // namespace ArtPalette
