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

int ScreenZoom::TakeOption(QStringList* arguments)
{
    const QString withValue = kOption + QLatin1Char('=');
    for (int i = 0; i < arguments->size(); ++i) {
        const QString argument = arguments->at(i);
        if (argument.startsWith(withValue)) {
            arguments->removeAt(i);
            const int zoom = Parse(argument.mid(withValue.size()));
            return zoom != 0 ? zoom : -1;
        }
        if (argument == kOption) {
            arguments->removeAt(i);
            if (i >= arguments->size())
                return -1;
            const int zoom = Parse(arguments->takeAt(i));
            return zoom != 0 ? zoom : -1;
        }
    }
    return 0;
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
