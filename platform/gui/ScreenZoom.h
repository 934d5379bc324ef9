// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The whole-number zoom of the desktop window. The program lays out and draws in the
// handheld's pixels (a 240-pixel-wide client area); Qt's own scaling then enlarges
// every window by the zoom, so bitmaps grow by whole pixels (nearest neighbour) and
// text is drawn at the enlarged size, crisp. The zoom is chosen from the screen unless
// the option "--zoom N" or the environment variable VELLUMDECK_ZOOM gives it.

#include <QSize>
#include <QString>

class ScreenZoom
{
public:
    static constexpr int kMinZoom = 1;
    static constexpr int kMaxZoom = 8;
    // The window may take this share of the available screen height.
    static constexpr int kScreenShareNumerator = 4;
    static constexpr int kScreenShareDenominator = 5;
    static constexpr char kEnvironmentVariable[] = "VELLUMDECK_ZOOM";

    // The largest zoom at which window fits in 80% of the available height and in the
    // available width; at least 1.
    static int Choose(const QSize& available, const QSize& window);
    // A zoom from 1 to 8, or 0 when text is not one.
    static int Parse(const QString& text);
    // The zoom VELLUMDECK_ZOOM asks for, 0 when unset, -1 when not a zoom.
    static int FromEnvironment();
    // Must run before the application object exists. A scale factor the user set for Qt
    // is kept and multiplied.
    static void Apply(int zoom);
};
