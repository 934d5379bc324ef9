// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The program's skinned trackbar: it paints its own background, channel and thumb
// (bitmap thumbs, or thumbs drawn in colours derived from one thumb colour) and keeps
// the trackbar's behaviour: range, line and page size, position, tick marks, and the
// scroll notices to its parent.
//
// The parent hears of every move the user makes as WM_HSCROLL (horizontal) or
// WM_VSCROLL (vertical), sent, with the trackbar code in the low word of wParam, the
// position in the high word for TB_THUMBTRACK and TB_THUMBPOSITION, and the slider in
// lParam. Dragging the thumb sends TB_THUMBTRACK for each new position, then
// TB_THUMBPOSITION and TB_ENDTRACK on release; a press on the channel sends TB_PAGEUP or
// TB_PAGEDOWN (repeated while held, until the thumb reaches or passes the stylus) and
// TB_ENDTRACK on release; the arrow keys send TB_LINEUP / TB_LINEDOWN, Page Up / Page Down
// TB_PAGEUP / TB_PAGEDOWN, Home and End TB_TOP / TB_BOTTOM, each followed by TB_ENDTRACK
// when the key comes up. The position is already set when a notice arrives. Setting
// the position or range from code sends nothing.
//
// The minimum is at the left of a horizontal slider and at the top of a vertical one.
// QSlider's own geometry, appearance and wheel handling are not used: the slider
// computes its thumb and channel itself (see GetThumbRect, GetChannelRect).
//
// As a control of a form built by DialogBuilder, hand the builder the slider through a
// factory for its id and give it the template's trackbar styles:
//     builder.SetFactory(IDC_VOLUME_SLIDER, [this](const ControlTemplate& control, QWidget* host) {
//         m_volumeSlider.setParent(host);
//         m_volumeSlider.SetTrackbarStyle(CSkinSlider::TrackbarStyleOf(control.styles));
//         return &m_volumeSlider; });

#include "Win32Defs.h"

#include <QBrush>
#include <QImage>
#include <QPen>
#include <QSlider>
#include <QTimer>

#include <memory>
#include <vector>

class QPainter;

class CSkinSlider : public QSlider
{
public:
    // Trackbar styles (SetTrackbarStyle).
    static constexpr DWORD TBS_HORZ = 0x0000;
    static constexpr DWORD TBS_VERT = 0x0002;
    static constexpr DWORD TBS_TOP = 0x0004;      // ticks above; one-sided thumb points up
    static constexpr DWORD TBS_LEFT = 0x0004;     // the same for a vertical slider
    static constexpr DWORD TBS_BOTH = 0x0008;     // ticks and thumb on both sides
    static constexpr DWORD TBS_NOTICKS = 0x0010;

    // The drawing stages and parts reported to OnCustomDraw, and its answers.
    static constexpr DWORD CDDS_PREPAINT = 0x00000001;
    static constexpr DWORD CDDS_ITEM = 0x00010000;
    static constexpr DWORD CDDS_ITEMPREPAINT = CDDS_ITEM | CDDS_PREPAINT;
    static constexpr LRESULT CDRF_DODEFAULT = 0x00;
    static constexpr LRESULT CDRF_SKIPDEFAULT = 0x04;
    static constexpr LRESULT CDRF_NOTIFYITEMDRAW = 0x20;
    static constexpr DWORD_PTR TBCD_TICS = 1;
    static constexpr DWORD_PTR TBCD_THUMB = 2;
    static constexpr DWORD_PTR TBCD_CHANNEL = 3;
    static constexpr UINT CDIS_SELECTED = 0x0001;

    static constexpr COLORREF kDefaultThumbColor = 0xE1B9CD;
    static constexpr COLORREF kDefaultChannelColor = 0x8A5E72;
    static constexpr int kHighlightAmount = 45;
    static constexpr int kShadowAmount = 90;

    // One drawing step: the stage, the painter, the part's rectangle, which part and its
    // state (CDIS_SELECTED while the thumb is held).
    struct CustomDraw
    {
        DWORD stage = 0;
        QPainter* dc = nullptr;
        QRect rect;
        DWORD_PTR item = 0;
        UINT itemState = 0;
    };

    explicit CSkinSlider(QWidget* parent = nullptr);
    ~CSkinSlider() override;

    // ---- skin ----
    // Loads the thumb bitmaps of the program's module; a pressed thumb that does not load
    // is the normal one. When the normal one does not load the thumb is drawn instead.
    void SetThumbBitmaps(int normalId, int pressedId);
    void SetColors(COLORREF thumbColor, COLORREF channelColor, COLORREF backgroundColor);
    // Paints the background in the background colour from now on.
    void UpdateBackgroundBrush();
    // The background brush; null until UpdateBackgroundBrush, and then the platform's
    // window colour is used.
    const QBrush* CtlColor() const { return m_backgroundBrush.get(); }
    bool HasBitmapThumbs() const { return m_bitmapThumbs; }

    // Per channel (red, green, blue), the top byte cleared.
    static COLORREF Lighten(COLORREF colour, int amount);
    static COLORREF Darken(COLORREF colour, int amount);
    static COLORREF Mix(COLORREF first, COLORREF second);

    // ---- trackbar ----
    // Orientation, tick side and thumb shape from TBS_ bits.
    void SetTrackbarStyle(DWORD style);
    DWORD GetTrackbarStyle() const;
    // The TBS_ bits of a form control's template styles (ControlStyle bits).
    static DWORD TrackbarStyleOf(std::uint32_t controlStyles);

    // The redraw flags are kept for the callers' sake; the slider repaints on any change.
    void SetRange(int minimum, int maximum, bool redraw = false);
    void SetRangeMin(int minimum, bool redraw = false);
    void SetRangeMax(int maximum, bool redraw = false);
    int GetRangeMax() const { return maximum(); }
    // Moves the thumb (clamped to the range) and repaints; tells the parent nothing.
    void SetPos(int position);
    int GetPos() const { return value(); }
    // Each returns the previous size.
    int SetLineSize(int size);
    int SetPageSize(int size);

    // A tick mark at a position within the range; false outside it. The first and last
    // positions always carry a tick unless the slider has none (TBS_NOTICKS).
    bool SetTic(int position);
    // Removes the ticks set with SetTic.
    void ClearTics(bool redraw = false);
    // The ticks drawn, the first and last included; 0 without ticks.
    int GetNumTics() const;
    // The position of the index-th tick set with SetTic, or -1.
    int GetTic(int index) const;
    // Marks that stand between positions as well (the points of a loop, to the
    // millisecond), drawn the full height of the slider in the channel's colour so that
    // they stand out from the ticks. Cleared with the ticks.
    void SetMark(double position);
    const std::vector<double>& Marks() const { return m_marks; }

    QRect GetThumbRect() const;
    QRect GetChannelRect() const;

protected:
    LRESULT OnCustomDraw(CustomDraw& draw);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    // Drawing
    void UpdateColors();
    void PaintBackground(QPainter& painter) const;
    void DrawPart(QPainter& painter, DWORD_PTR item, const QRect& rect, UINT state);
    void DrawTics(QPainter& painter) const;
    void DrawTic(QPainter& painter, int position) const;
    void DrawChannel(QPainter& painter, const QRect& rect) const;
    void DrawThumb(QPainter& painter, const QRect& rect, UINT state);
    void DrawThumbShape(QPainter& painter, const QRect& rect, bool upright) const;
    void DrawBitmapThumb(QPainter& painter, const QRect& rect) const;
    void DrawBothSidedBody(QPainter& painter, const QRect& rect) const;
    void DrawPointedBody(QPainter& painter, const QRect& rect, bool upright) const;
    void DrawGrips(QPainter& painter, const QRect& rect, bool upright) const;
    bool ThumbBothSides() const;
    bool ThumbTowardTop() const;

    // Geometry
    bool IsHorizontal() const { return orientation() == Qt::Horizontal; }
    int Along(const QPoint& point) const { return IsHorizontal() ? point.x() : point.y(); }
    int Length() const { return IsHorizontal() ? width() : height(); }
    int ThumbLength() const;
    int Travel() const;
    int OffsetOf(int position) const;
    double OffsetOf(double position) const;
    int PositionAt(int offset) const;

    // Input
    void NotifyParent(WORD code);
    void MoveTo(int position, WORD code);
    void StartDrag(const QPoint& point);
    void Drag(const QPoint& point);
    void StartPaging(const QPoint& point);
    void OnPageTimer();
    bool ThumbHasReachedStylus() const;
    // One page toward the stylus; false once there is no need of another.
    bool PageTowardStylus();
    void EndTracking();

    std::unique_ptr<QBrush> m_backgroundBrush;
    COLORREF m_backgroundColor;
    QPen m_gripPen;
    bool m_bitmapThumbs = false;
    bool m_thumbPressed = false;
    QBrush m_channelBrush;
    QBrush m_thumbBrush;
    QImage m_normalThumb;
    QImage m_pressedThumb;
    COLORREF m_thumbColor = kDefaultThumbColor;
    COLORREF m_channelColor = kDefaultChannelColor;
    COLORREF m_highlightColor = 0;
    COLORREF m_shadowColor = 0;
    COLORREF m_gripColor = 0;
    COLORREF m_pressedColor = 0;

    bool m_thumbBothSides = false;
    std::vector<int> m_tics;
    std::vector<double> m_marks;

    bool m_dragging = false;
    bool m_tracked = false;        // the drag moved the thumb
    int m_grabOffset = 0;          // where on the thumb the stylus holds it
    bool m_paging = false;
    int m_pageTarget = 0;          // the stylus along the channel while paging
    int m_pageDirection = 0;       // toward it from where the thumb was pressed beside: -1, +1
    QTimer m_pageTimer;
};
