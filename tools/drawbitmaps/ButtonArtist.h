// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Draws the faces of the image buttons. Each face is drawn over the piece of skin it
// covers, so its rounded corners meet the deck or the pod without a seam.

#include <QImage>
#include <QPainter>
#include <QRect>

class CButtonArtist
{
public:
    enum class Glyph {
        Play,
        Pause,
        Stop,
        StepBack,
        StepForward,
        Previous,
        Next,
        LoopNone,
        LoopA,
        LoopAB,
        RepeatTrack,
        RepeatList,
        SoundOn,
        SoundOff,
    };
    // Raised: ready to press. Pressed: held down. Latched: a toggle that is on, sunk
    // in with a lit glyph. Dimmed: the play key while nothing can be played.
    enum class Look { Raised, Pressed, Latched, Dimmed };

    explicit CButtonArtist(QImage skin);

    // The face for a button at the given rectangle of the skin.
    QImage DrawFace(const QRect& where, Glyph glyph, Look look) const;

private:
    static void DrawDisc(QPainter& painter, const QSize& size, Look look);
    static void DrawCap(QPainter& painter, const QSize& size, Look look);
    static void DrawDiscGlyph(QPainter& painter, Glyph glyph, Look look);
    static void DrawSmallGlyph(QPainter& painter, Glyph glyph, Look look);
    static void DrawLoopGlyph(QPainter& painter, Glyph glyph, QColor plain, QColor lit);
    static void DrawRepeatGlyph(QPainter& painter, bool withOne, QColor colour);
    static void DrawSpeakerGlyph(QPainter& painter, bool soundOn);
    static QColor GlyphColour(Look look);

    QImage m_skin;
};
