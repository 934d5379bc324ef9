// SPDX-License-Identifier: GPL-2.0-or-later
#include "BitmapCatalogue.h"

#include "ArtPalette.h"
#include "BmpWriter.h"
#include "ButtonArtist.h"
#include "ColourQuantiser.h"
#include "FolderArtist.h"
#include "LogoArtist.h"
#include "MediapickResource.h"
#include "PanelLayout.h"
#include "SkinArtist.h"
#include "ThumbArtist.h"
#include "resource.h"

#include <QDir>

#include <algorithm>

namespace {

using Glyph = CButtonArtist::Glyph;
using Look = CButtonArtist::Look;
using Module = BitmapEntry::Module;

constexpr int kPaletteBits = 8;
constexpr int kSoundOffBits = 4; // the sound-off face is stored at 16 colours

struct FaceSpec
{
    int id;
    const char* name;
    QRect where;
    Glyph glyph;
    Look look;
    int bitsPerPixel;
};

// Toggle faces double as each other's pressed image in the button table, so an "on"
// face is drawn latched: pressing "off" shows the key going in and lighting up.
const FaceSpec kFaces[] = {
    {IDB_LOOP_AB_PRESSED, "loop-ab-pressed", PanelLayout::kLoop, Glyph::LoopAB, Look::Pressed, kPaletteBits},
    {IDB_LOOP_OFF, "loop-off", PanelLayout::kLoop, Glyph::LoopNone, Look::Raised, kPaletteBits},
    {IDB_LOOP_A, "loop-a", PanelLayout::kLoop, Glyph::LoopA, Look::Raised, kPaletteBits},
    {IDB_LOOP_AB, "loop-ab", PanelLayout::kLoop, Glyph::LoopAB, Look::Raised, kPaletteBits},
    {IDB_LOOP_OFF_PRESSED, "loop-off-pressed", PanelLayout::kLoop, Glyph::LoopNone, Look::Pressed, kPaletteBits},
    {IDB_LOOP_A_PRESSED, "loop-a-pressed", PanelLayout::kLoop, Glyph::LoopA, Look::Pressed, kPaletteBits},
    {IDB_STEP_FORWARD_PRESSED, "step-forward-pressed", PanelLayout::kStepForward, Glyph::StepForward, Look::Pressed, kPaletteBits},
    {IDB_STEP_FORWARD, "step-forward", PanelLayout::kStepForward, Glyph::StepForward, Look::Raised, kPaletteBits},
    {IDB_PAUSE_PRESSED, "pause-pressed", PanelLayout::kPlay, Glyph::Pause, Look::Pressed, kPaletteBits},
    {IDB_PAUSE, "pause", PanelLayout::kPlay, Glyph::Pause, Look::Raised, kPaletteBits},
    {IDB_NEXT_PRESSED, "next-pressed", PanelLayout::kNext, Glyph::Next, Look::Pressed, kPaletteBits},
    {IDB_NEXT, "next", PanelLayout::kNext, Glyph::Next, Look::Raised, kPaletteBits},
    {IDB_REPEAT_LIST_ON, "repeat-list-on", PanelLayout::kRepeatList, Glyph::RepeatList, Look::Latched, kPaletteBits},
    {IDB_PLAY, "play", PanelLayout::kPlay, Glyph::Play, Look::Raised, kPaletteBits},
    {IDB_REPEAT_LIST_OFF, "repeat-list-off", PanelLayout::kRepeatList, Glyph::RepeatList, Look::Raised, kPaletteBits},
    // The play key's pressed image is also its disabled image, so it is drawn greyed.
    {IDB_PLAY_PRESSED, "play-pressed", PanelLayout::kPlay, Glyph::Play, Look::Dimmed, kPaletteBits},
    {IDB_STEP_BACK_PRESSED, "step-back-pressed", PanelLayout::kStepBack, Glyph::StepBack, Look::Pressed, kPaletteBits},
    {IDB_PREVIOUS_PRESSED, "previous-pressed", PanelLayout::kPrevious, Glyph::Previous, Look::Pressed, kPaletteBits},
    {IDB_PREVIOUS, "previous", PanelLayout::kPrevious, Glyph::Previous, Look::Raised, kPaletteBits},
    {IDB_STEP_BACK, "step-back", PanelLayout::kStepBack, Glyph::StepBack, Look::Raised, kPaletteBits},
    {IDB_REPEAT_TRACK_ON, "repeat-one-on", PanelLayout::kRepeatTrack, Glyph::RepeatTrack, Look::Latched, kPaletteBits},
    {IDB_SOUND_OFF, "sound-off", PanelLayout::kSound, Glyph::SoundOff, Look::Latched, kSoundOffBits},
    {IDB_SOUND_ON, "sound-on", PanelLayout::kSound, Glyph::SoundOn, Look::Raised, kPaletteBits},
    {IDB_REPEAT_TRACK_OFF, "repeat-one-off", PanelLayout::kRepeatTrack, Glyph::RepeatTrack, Look::Raised, kPaletteBits},
    {IDB_STOP, "stop", PanelLayout::kStop, Glyph::Stop, Look::Raised, kPaletteBits},
    {IDB_STOP_PRESSED, "stop-pressed", PanelLayout::kStop, Glyph::Stop, Look::Pressed, kPaletteBits},
};

} // namespace

QList<BitmapEntry> CBitmapCatalogue::DrawAll()
{
    QList<BitmapEntry> entries;
    const QImage skin = CSkinArtist::Draw();
    entries.append({IDB_SKIN, "skin", kPaletteBits, Module::Program, skin});
    entries.append({IDB_LOGO, "logo", kPaletteBits, Module::Program, CLogoArtist::Draw()});
    AddButtonFaces(entries, skin);
    AddThumbs(entries);
    entries.append({IDB_FOLDER, "folder", kPaletteBits, Module::Mediapick, CFolderArtist::Draw()});
    std::sort(entries.begin(), entries.end(),
              [](const BitmapEntry& a, const BitmapEntry& b) { return a.id < b.id; });
    return entries;
}

QString CBitmapCatalogue::FileName(const BitmapEntry& entry)
{
    return QStringLiteral("%1-%2.bmp").arg(entry.id).arg(QString::fromLatin1(entry.name));
}

bool CBitmapCatalogue::WriteAll(const QList<BitmapEntry>& entries, const QString& programFolder,
                                const QString& mediapickFolder, QString* failed)
{
    for (const BitmapEntry& entry : entries) {
        const QString folder = entry.module == Module::Program ? programFolder : mediapickFolder;
        const QString path = QDir(folder).filePath(FileName(entry));
        const CColourQuantiser quantiser(1 << entry.bitsPerPixel, ArtPalette::ExactColours());
        if (!QDir().mkpath(folder)
            || !CBmpWriter::Write(quantiser.Quantise(entry.picture), entry.bitsPerPixel, path)) {
            *failed = path;
            return false;
        }
    }
    return true;
}

void CBitmapCatalogue::AddButtonFaces(QList<BitmapEntry>& entries, const QImage& skin)
{
    const CButtonArtist artist(skin);
    for (const FaceSpec& face : kFaces) {
        entries.append({face.id, face.name, face.bitsPerPixel, Module::Program,
                        artist.DrawFace(face.where, face.glyph, face.look)});
    }
}

void CBitmapCatalogue::AddThumbs(QList<BitmapEntry>& entries)
{
    const QSize upright(THUMB_SHORT_SIDE, THUMB_LONG_SIDE);
    const QSize flat(THUMB_LONG_SIDE, THUMB_SHORT_SIDE);
    const QRgb seek = ArtPalette::kSeekBackground;
    const QRgb volume = ArtPalette::kVolumeBackground;
    entries.append({IDB_SEEK_THUMB, "seek-thumb", kPaletteBits, Module::Program,
                    CThumbArtist::Draw(upright, false, seek)});
    entries.append({IDB_SEEK_THUMB_PRESSED, "seek-thumb-pressed", kPaletteBits, Module::Program,
                    CThumbArtist::Draw(upright, true, seek)});
    entries.append({IDB_VOLUME_THUMB, "volume-thumb", kPaletteBits, Module::Program,
                    CThumbArtist::Draw(flat, false, volume)});
    entries.append({IDB_VOLUME_THUMB_PRESSED, "volume-thumb-pressed", kPaletteBits,
                    Module::Program, CThumbArtist::Draw(flat, true, volume)});
}
