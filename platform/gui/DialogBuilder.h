// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Turns a dialog template into Qt widgets on a dialog or form. Every rectangle is scaled
// from dialog units to pixels at 1.75 px per unit on both axes; each edge is rounded to
// the nearest pixel (halves up), so controls that touch in dialog units touch in pixels.
// Push buttons and check boxes made here report a click to the host as WM_COMMAND with
// (id, BN_CLICKED) in wParam and the button in lParam, as a dialog's controls do.

#include "DialogTemplate.h"
#include "ResourceModule.h"

#include <QRect>

#include <functional>
#include <map>

class QComboBox;
class QListWidget;
class QWidget;

class DialogBuilder
{
public:
    // Makes a control: the caller's own class for it (a skinned slider, a colour button).
    using Factory = std::function<QWidget*(const ControlTemplate& control, QWidget* parent)>;

    // Pixels per dialog unit, as a fraction.
    static constexpr int kPixelsPerUnitNumerator = 7;
    static constexpr int kPixelsPerUnitDenominator = 4;
    // The visible field of a combo box; the rest of its template height is the dropped list.
    static constexpr int kComboFieldHeight = 12;

    explicit DialogBuilder(const ResourceModule& module = GetResourceModule());

    // The control with this id is made by factory instead of the builder; the builder still
    // places it and applies the styles its class understands.
    void SetFactory(int id, Factory factory);

    // Creates every control of the template as a child of host, in tab order, and sizes,
    // titles and fonts host. False when the module has no dialog of that id.
    bool Build(int dialogId, QWidget* host) const;
    void Build(const DialogTemplate& dialog, QWidget* host) const;

    static int ToPixels(int dialogUnits);
    static QRect ToPixels(const QRect& dialogUnits);
    // Where the builder puts a control: its rectangle in pixels, a combo box without its list.
    static QRect PixelRect(const ControlTemplate& control);

private:
    QWidget* Create(const ControlTemplate& control, QWidget* host, QWidget* previous) const;
    QWidget* CreateDefault(const ControlTemplate& control, QWidget* host, QWidget* previous) const;
    void ApplyCommonStyles(const ControlTemplate& control, QWidget* widget) const;
    void ApplyKindStyles(const ControlTemplate& control, QWidget* widget, QWidget* previous) const;
    void ConnectCommand(const ControlTemplate& control, QWidget* widget, QWidget* host) const;
    void SetUpHost(const DialogTemplate& dialog, QWidget* host) const;

    const ResourceModule& m_module;
    std::map<int, Factory> m_factories;
};

// The control of host with this id (the first in tab order), or null.
QWidget* GetDlgItem(const QWidget* host, int id);
template <typename Widget>
Widget* GetDlgItemAs(const QWidget* host, int id)
{
    return qobject_cast<Widget*>(GetDlgItem(host, id));
}
// The id the builder gave control; -1 for a widget it did not make.
int GetDlgCtrlID(const QWidget* control);

// A row added to a list box or combo box built with the sort style takes its place by its
// text (case ignored); otherwise it goes last. Returns the row's index.
int AddComboString(QComboBox* combo, const QString& text);
int AddListString(QListWidget* list, const QString& text);
