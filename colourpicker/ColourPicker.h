// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A push button that shows a colour in a box beside a drop-down arrow. A click drops the
// colour grid below the button; the colour chosen there becomes the button's colour. Each
// step is sent to the button's parent as a window message carrying the colour and the
// button's control id (see ColourMessages.h), in this order: WM_COLOUR_DROPDOWN when the
// grid opens, WM_COLOUR_SELCHANGE for every move of its highlight, and at the end
// WM_COLOUR_CLOSEUP followed by WM_COLOUR_SELOK or WM_COLOUR_SELCANCEL. The parent gets
// the message before the sending call returns; without a parent nothing is sent.
//
// Creation by class name: the picker is known as "CColourPicker". LookupClass(name) gives
// the factory for that name (null for any other); RegisterClass() hands name and factory
// to a registration callback, for code that keeps its own table of control classes. With
// DialogBuilder, give the factory for the control's id:
//     builder.SetFactory(IDC_BK_COLOR, [](const ControlTemplate&, QWidget* parent) {
//         return CColourPicker::LookupClass(CColourPicker::kClassName)(parent); });
// The builder then places the control and gives it its id; the picker fits its size to
// its arrow when it is first shown (or at once through PreSubclassWindow()).
//
// The picker consumes its own click: it must not also reach the dialog as WM_COMMAND.

#include "ColourGrid.h"
#include "ColourRef.h"

#include <QPushButton>
#include <QRect>
#include <QString>

class CColourPicker : public QPushButton
{
    Q_OBJECT

public:
    static constexpr const char* kClassName = "CColourPicker";
    static constexpr int kNoControlId = -1;
    using Factory = QWidget* (*)(QWidget* parent);
    using Registrar = void (*)(const QString& className, Factory factory);

    explicit CColourPicker(QWidget* parent = nullptr);
    ~CColourPicker() override;

    static Factory LookupClass(const QString& className);
    static void RegisterClass(Registrar registrar);
    static QWidget* CreateObject(QWidget* parent);

    COLORREF GetColour() const { return m_colour; }
    void SetColour(COLORREF colour);
    // Labels of the grid's top (automatic colour) and bottom (cancel) box; an empty label
    // leaves that box out.
    void SetAutoText(const QString& text);
    void SetCancelText(const QString& text);

    // The id given here, else the one the dialog builder gave the control.
    int GetDlgCtrlID() const;
    void SetDlgCtrlID(int id) { m_id = id; }

    bool IsOpen() const { return m_open; }
    QRect GetArrowRect() const { return m_arrowRect; }
    // The drop-down, for whoever needs to see where it stands.
    const CColourGrid& GetGrid() const { return m_grid; }

    // Runs the size adjustment once the control has its place in the dialog; also run when
    // the button is first shown.
    void PreSubclassWindow();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    void DrawItem(QPainter& painter, QRect item, bool selected);
    void OnClicked();
    LRESULT OnSelOk(COLORREF colour);
    LRESULT OnSelCancel(COLORREF colour);
    LRESULT OnSelChange(COLORREF colour);

private:
    void AdjustSize();
    void NotifyParent(UINT message, COLORREF colour);
    void EndSelection(UINT message, COLORREF colour);
    void DrawArrow(QPainter& painter, bool selected) const;
    void DrawCaption(QPainter& painter, const QRect& box) const;

    bool m_open = false;
    COLORREF m_colour;
    COLORREF m_textColour;
    QRect m_arrowRect;
    QString m_autoText;
    QString m_cancelText;
    CColourGrid m_grid;
    COLORREF m_colourBeforeOpening = 0;
    int m_id = kNoControlId;
    bool m_adjusted = false;
};
