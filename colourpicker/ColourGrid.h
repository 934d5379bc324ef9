// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The drop-down of the colour picker: a borderless popup with an optional box for the
// automatic colour on top, 40 colour cells in 8 columns and 5 rows, and an optional box
// for cancelling below. The highlight follows taps and the arrow keys; every move and the
// end of the selection are sent to the owner as WM_COLOUR_SELCHANGE, WM_COLOUR_SELOK or
// WM_COLOUR_SELCANCEL (colour, 0).
//
// The object lives as long as its owner (the picker holds it by value); its window is
// shown by Create and hidden again when the selection ends. While open it holds the mouse
// and the keyboard, so a tap anywhere reaches it.

#include "ColourRef.h"

#include <QFont>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>

class CColourGrid : public QWidget
{
    Q_OBJECT

public:
    struct ColourTableEntry {
        COLORREF colour;
        const char* name;
    };

    static constexpr int kColourCount = 40;
    static constexpr int kColumnCount = 8;
    static constexpr int kLastCell = kColourCount - 1;
    static constexpr int kLastColumn = kColumnCount - 1;
    static constexpr int kDefaultCellSize = 18;

    // Positions that are not cells.
    static constexpr int kTopBoxIndex = -3;
    static constexpr int kBottomBoxIndex = -2;
    static constexpr int kNoIndex = -1;

    // Row i / 8, column i % 8; the names travel with the colours but are not shown.
    static const std::array<ColourTableEntry, kColourCount> kColourTable;

    CColourGrid();
    ~CColourGrid() override;

    // Opens the grid with its top-left corner at point (screen coordinates). A null label
    // keeps the one given before; an empty label leaves its box out.
    bool Create(QPoint point, COLORREF colour, QWidget* owner,
                const QString* topLabel = nullptr, const QString* bottomLabel = nullptr);
    // Whether the grid's window is up.
    bool IsOpen() const;
    // Takes the window down without telling the owner (the picker's second click).
    void DestroyWindow();

    int GetHotIndex() const { return m_hotIndex; }
    int GetChosenIndex() const { return m_chosenIndex; }
    COLORREF GetInitialColour() const { return m_initialColour; }
    COLORREF GetCurrentColour() const { return m_currentColour; }
    int GetCellSize() const { return m_cellSize; }
    int GetMargin() const { return m_margin; }
    // Screen coordinates.
    QRect GetWindowRect() const { return m_windowRect; }
    // Client coordinates.
    QRect GetTopBox() const { return m_topBox; }
    QRect GetBottomBox() const { return m_bottomBox; }
    QRect GetCellRect(int index) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    void OnLButtonDown(QPoint point);
    void OnLButtonUp(QPoint screenPoint);
    void OnPaint(QPainter& painter);
    // True when the key ends the selection and so gets no default handling.
    bool OnKeyDown(int key);
    void OnKillFocus();
    void PreTranslateMessage();

private:
    struct GridPlace {
        int row;
        int column;
    };

    bool HasTopBox() const { return !m_topLabel.isEmpty(); }
    bool HasBottomBox() const { return !m_bottomLabel.isEmpty(); }
    bool IsCell(int index) const { return index >= 0 && index < m_colourCount; }
    bool IsPosition(int index) const;

    bool OpenWindow(QPoint point, QWidget* owner);
    void Layout();
    QSize TextSize() const;
    void FitToScreen(QRect& rect) const;
    int ChosenIndexFor(COLORREF colour) const;

    int IndexFromPlace(int row, int column) const;
    GridPlace PlaceOf(int index) const;
    int TopBoxElse(int index) const { return HasTopBox() ? kTopBoxIndex : index; }
    int BottomBoxElse(int index) const { return HasBottomBox() ? kBottomBoxIndex : index; }
    int TargetOfDown(GridPlace from) const;
    int TargetOfUp(GridPlace from) const;
    int TargetOfRight(GridPlace from) const;
    int TargetOfLeft(GridPlace from) const;

    void MoveHighlight(int position);
    void EndSelection(UINT message);
    void RedrawPosition(int index);
    QRect PositionRect(int index) const;

    void SetCapture();
    void ReleaseCapture();

    void DrawCell(QPainter& painter, int index) const;
    void DrawTopBox(QPainter& painter) const;
    void DrawBottomBox(QPainter& painter) const;
    // Fill, edge and label of a box's inner rectangle; the top box also has an outline.
    void DrawBoxFace(QPainter& painter, const QRect& inner, int index, const QString& label,
                     bool outlined) const;

    int m_colourCount = kColourCount;
    int m_columns = 0;
    int m_rows = 0;
    int m_cellSize;
    int m_margin;
    int m_hotIndex = kNoIndex;
    int m_chosenIndex = kNoIndex;
    QString m_topLabel;
    QString m_bottomLabel;
    QRect m_bottomBox;
    QRect m_topBox;
    QRect m_windowRect;
    QFont m_font;
    COLORREF m_initialColour = 0;
    COLORREF m_currentColour = 0;
    QPointer<QWidget> m_owner;
    bool m_capturing = false;
};
