// SPDX-License-Identifier: GPL-2.0-or-later
#include "PanelPreview.h"

#include "ArtPalette.h"
#include "PanelLayout.h"
#include "resource.h"

#include <QDir>
#include <QFont>
#include <QPainter>

namespace {

using namespace PanelLayout;

struct Placed
{
    int id;
    QRect where;
};

// The faces shown while a recording plays, with point A set and repeat-list on.
const Placed kShownFaces[] = {
    {IDB_PAUSE, kPlay},
    {IDB_STOP, kStop},
    {IDB_STEP_BACK, kStepBack},
    {IDB_STEP_FORWARD, kStepForward},
    {IDB_PREVIOUS, kPrevious},
    {IDB_NEXT, kNext},
    {IDB_LOOP_A, kLoop},
    {IDB_REPEAT_TRACK_OFF, kRepeatTrack},
    {IDB_SOUND_ON, kSound},
    {IDB_REPEAT_LIST_ON, kRepeatList},
};

constexpr double kSeekFraction = 0.3;
constexpr double kVolumeFraction = 0.25;
constexpr int kChannelThickness = 4;
constexpr int kTimeTextPixels = 11;

} // namespace

QImage CPanelPreview::Render(const QString& bitmapFolder, int zoom)
{
    QImage view = Load(bitmapFolder, IDB_SKIN).convertToFormat(QImage::Format_RGB32);
    const QImage logo = Load(bitmapFolder, IDB_LOGO);
    if (view.isNull() || logo.isNull())
        return {};
    QPainter painter(&view);
    painter.drawImage(kTextPane.topLeft(), logo, QRect(QPoint(0, 0), kTextPane.size()));
    for (const Placed& face : kShownFaces) {
        const QImage image = Load(bitmapFolder, face.id);
        if (image.isNull())
            return {};
        painter.drawImage(face.where.topLeft(), image);
    }
    painter.end();
    DrawTrackbars(view, bitmapFolder);
    DrawTimeTexts(view);
    return view.scaled(view.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage CPanelPreview::Load(const QString& folder, int id)
{
    const QStringList names = QDir(folder).entryList({QStringLiteral("%1-*.bmp").arg(id)});
    if (names.size() != 1)
        return {};
    return QImage(QDir(folder).filePath(names.first()));
}

void CPanelPreview::DrawTrackbars(QImage& view, const QString& folder)
{
    // Roughly what a trackbar paints: its background, a rounded channel and the thumb
    // stretched onto a thumb rectangle as tall (or wide) as the control allows.
    const QRect seek(qRound(kSeekSliderUnits.x() * kPixelsPerDialogUnit),
                     qRound(kSeekSliderUnits.y() * kPixelsPerDialogUnit),
                     qRound(kSeekSliderUnits.width() * kPixelsPerDialogUnit),
                     qRound(kSeekSliderUnits.height() * kPixelsPerDialogUnit));
    const QRect volume(qRound(kVolumeSliderUnits.x() * kPixelsPerDialogUnit),
                       qRound(kVolumeSliderUnits.y() * kPixelsPerDialogUnit),
                       qRound(kVolumeSliderUnits.width() * kPixelsPerDialogUnit),
                       qRound(kVolumeSliderUnits.height() * kPixelsPerDialogUnit));
    QPainter painter(&view);
    painter.fillRect(seek, QColor(ArtPalette::kSeekBackground));
    painter.fillRect(volume, QColor(ArtPalette::kVolumeBackground));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(ArtPalette::kBodyShade));
    painter.setBrush(QColor(ArtPalette::kChannel));
    const int thumbHalf = THUMB_SHORT_SIDE / 2;
    painter.drawRoundedRect(QRectF(seek.left() + thumbHalf, seek.center().y() - 1.5,
                                   seek.width() - 2 * thumbHalf, kChannelThickness),
                            2, 2);
    painter.drawRoundedRect(QRectF(volume.center().x() - 1.5, volume.top() + thumbHalf,
                                   kChannelThickness, volume.height() - 2 * thumbHalf),
                            2, 2);
    painter.setRenderHint(QPainter::Antialiasing, false);
    const int seekX = seek.left() + int((seek.width() - THUMB_SHORT_SIDE) * kSeekFraction);
    painter.drawImage(QRect(seekX, seek.top(), THUMB_SHORT_SIDE, seek.height()),
                      Load(folder, IDB_SEEK_THUMB));
    const int volumeY = volume.top() + int((volume.height() - THUMB_SHORT_SIDE) * kVolumeFraction);
    painter.drawImage(QRect(volume.left(), volumeY, volume.width(), THUMB_SHORT_SIDE),
                      Load(folder, IDB_VOLUME_THUMB));
}

void CPanelPreview::DrawTimeTexts(QImage& view)
{
    QPainter painter(&view);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(kTimeTextPixels);
    painter.setFont(font);
    painter.setPen(QColor(ArtPalette::kTimeText));
    const QString sample = QStringLiteral("00:01:23");
    const int height = painter.fontMetrics().height();
    for (const QPoint& at : {kPositionText, kTotalText}) {
        painter.drawText(QRect(at, QSize(kTimeTextRoom.width(), height)),
                         Qt::AlignLeft | Qt::AlignVCenter, sample);
    }
}
