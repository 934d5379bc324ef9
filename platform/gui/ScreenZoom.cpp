// SPDX-License-Identifier: GPL-2.0-or-later
#include "ScreenZoom.h"

#include <QByteArray>

#include <algorithm>

namespace {

constexpr char kQtScaleFactor[] = "QT_SCALE_FACTOR";

}  // namespace

int ScreenZoom::Choose(const QSize& available, const QSize& window)
{
    if (window.width() <= 0 || window.height() <= 0)
        return kMinZoom;
    const int byHeight = available.height() * kScreenShareNumerator / (kScreenShareDenominator * window.height());
    const int byWidth = available.width() / window.width();
    return std::clamp(std::min(byHeight, byWidth), kMinZoom, kMaxZoom);
}

int ScreenZoom::Parse(const QString& text)
{
    bool ok = false;
    const int zoom = text.trimmed().toInt(&ok);
    if (!ok || zoom < kMinZoom || zoom > kMaxZoom)
        return 0;
    return zoom;
}

int ScreenZoom::FromEnvironment()
{
    const QByteArray value = qgetenv(kEnvironmentVariable);
    if (value.isEmpty())
        return 0;
    const int zoom = Parse(QString::fromLocal8Bit(value));
    return zoom != 0 ? zoom : -1;
}

void ScreenZoom::Apply(int zoom)
{
    bool ok = false;
    double factor = qEnvironmentVariable(kQtScaleFactor).toDouble(&ok);
    if (!ok || factor <= 0)
        factor = 1.0;
    qputenv(kQtScaleFactor, QByteArray::number(factor * std::max(zoom, kMinZoom)));
}
