// SPDX-License-Identifier: GPL-2.0-or-later
#include "DialogBuilder.h"

#include "UpDownControl.h"
#include "WindowMessage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

#include <cmath>

namespace {

const char* const kControlIdProperty = "vdControlId";
const char* const kSortedProperty = "vdSorted";

// Trackbars start with the range the device's trackbar has.
constexpr int kTrackbarDefaultMaximum = 100;
// Font points are device points at 96 dots per inch.
constexpr double kPixelsPerPoint = 96.0 / 72.0;

bool Has(const ControlTemplate& control, std::uint32_t style)
{
    return (control.styles & style) != 0;
}

void SetScrollBars(QAbstractScrollArea* area, const ControlTemplate& control)
{
    area->setVerticalScrollBarPolicy(Has(control, ControlStyle::VScroll) ? Qt::ScrollBarAsNeeded
                                                                          : Qt::ScrollBarAlwaysOff);
    area->setHorizontalScrollBarPolicy(Has(control, ControlStyle::HScroll) ? Qt::ScrollBarAsNeeded
                                                                            : Qt::ScrollBarAlwaysOff);
}

QWidget* MakeEdit(const ControlTemplate& control, QWidget* host)
{
    if (Has(control, ControlStyle::MultiLine)) {
        auto* edit = new QPlainTextEdit(control.text, host);
        edit->setReadOnly(Has(control, ControlStyle::ReadOnly));
        SetScrollBars(edit, control);
        if (!Has(control, ControlStyle::Border))
            edit->setFrameShape(QFrame::NoFrame);
        return edit;
    }
    auto* edit = new QLineEdit(control.text, host);
    edit->setReadOnly(Has(control, ControlStyle::ReadOnly));
    edit->setFrame(Has(control, ControlStyle::Border));
    return edit;
}

QWidget* MakeComboBox(const ControlTemplate& control, QWidget* host)
{
    auto* combo = new QComboBox(host);
    combo->setEditable(Has(control, ControlStyle::DropDown));
    combo->setProperty(kSortedProperty, Has(control, ControlStyle::Sort));
    combo->setInsertPolicy(QComboBox::NoInsert);
    return combo;
}

QWidget* MakeListBox(const ControlTemplate& control, QWidget* host)
{
    auto* list = new QListWidget(host);
    list->setProperty(kSortedProperty, Has(control, ControlStyle::Sort));
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    SetScrollBars(list, control);
    if (!Has(control, ControlStyle::Border))
        list->setFrameShape(QFrame::NoFrame);
    return list;
}

// A report view: one row per item, columns added by the caller. Sorting is left to the
// caller, since rows it moves must stay where it put them.
QWidget* MakeListView(const ControlTemplate& control, QWidget* host)
{
    auto* view = new QTreeWidget(host);
    view->setRootIsDecorated(false);
    view->setItemsExpandable(false);
    view->setColumnCount(0);
    view->setHeaderHidden(!Has(control, ControlStyle::Report));
    view->header()->setStretchLastSection(false);
    view->setSelectionMode(Has(control, ControlStyle::SingleSelection) ? QAbstractItemView::SingleSelection
                                                                       : QAbstractItemView::ExtendedSelection);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setProperty(kSortedProperty, Has(control, ControlStyle::SortAscending));
    if (!Has(control, ControlStyle::Border))
        view->setFrameShape(QFrame::NoFrame);
    return view;
}

QWidget* MakeTreeView(const ControlTemplate& control, QWidget* host)
{
    auto* tree = new QTreeWidget(host);
    tree->setColumnCount(1);
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(Has(control, ControlStyle::LinesAtRoot) && Has(control, ControlStyle::HasButtons));
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    if (!Has(control, ControlStyle::Border))
        tree->setFrameShape(QFrame::NoFrame);
    return tree;
}

QWidget* MakeStatic(const ControlTemplate& control, QWidget* host)
{
    auto* label = new QLabel(control.text, host);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

QWidget* MakeIcon(const ControlTemplate& control, QWidget* host, const ResourceModule& module)
{
    auto* label = new QLabel(host);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const QImage icon = module.LoadIcon(control.imageId);
    if (!icon.isNull())
        label->setPixmap(QPixmap::fromImage(icon));
    return label;
}

void ApplyTrackbarStyles(const ControlTemplate& control, QSlider* slider)
{
    slider->setOrientation(Has(control, ControlStyle::Vertical) ? Qt::Vertical : Qt::Horizontal);
    if (Has(control, ControlStyle::NoTicks))
        slider->setTickPosition(QSlider::NoTicks);
    else if (Has(control, ControlStyle::BothSides))
        slider->setTickPosition(QSlider::TicksBothSides);
    else if (Has(control, ControlStyle::TicksTop))
        slider->setTickPosition(QSlider::TicksAbove);
    else
        slider->setTickPosition(QSlider::TicksBelow);
}

void ApplyUpDownStyles(const ControlTemplate& control, UpDownControl* upDown, QWidget* previous)
{
    upDown->SetBuddyInt(Has(control, ControlStyle::SetBuddyInt));
    upDown->SetArrowKeys(Has(control, ControlStyle::ArrowKeys));
    // Its buddy is the control just before it in tab order.
    if (Has(control, ControlStyle::AutoBuddy))
        upDown->SetBuddy(qobject_cast<QLineEdit*>(previous));
}

int SortedRow(const QStringList& rows, const QString& text)
{
    int row = 0;
    while (row < rows.size() && QString::compare(rows.at(row), text, Qt::CaseInsensitive) <= 0)
        ++row;
    return row;
}

} // namespace

DialogBuilder::DialogBuilder(const ResourceModule& module) : m_module(module) {}

void DialogBuilder::SetFactory(int id, Factory factory)
{
    m_factories[id] = std::move(factory);
}

int DialogBuilder::ToPixels(int dialogUnits)
{
    // round(units * 7 / 4), halves up, in integers
    const int twice = 2 * dialogUnits * kPixelsPerUnitNumerator + kPixelsPerUnitDenominator;
    return int(std::floor(double(twice) / (2 * kPixelsPerUnitDenominator)));
}

QRect DialogBuilder::ToPixels(const QRect& dialogUnits)
{
    const int left = ToPixels(dialogUnits.x());
    const int top = ToPixels(dialogUnits.y());
    const int right = ToPixels(dialogUnits.x() + dialogUnits.width());
    const int bottom = ToPixels(dialogUnits.y() + dialogUnits.height());
    return QRect(left, top, right - left, bottom - top);
}

QRect DialogBuilder::PixelRect(const ControlTemplate& control)
{
    QRect units = control.rect;
    if (control.kind == ControlKind::ComboBox)
        units.setHeight(std::min(units.height(), kComboFieldHeight));
    return ToPixels(units);
}

bool DialogBuilder::Build(int dialogId, QWidget* host) const
{
    const std::optional<DialogTemplate> dialog = m_module.LoadDialog(dialogId);
    if (!dialog)
        return false;
    Build(*dialog, host);
    return true;
}

void DialogBuilder::Build(const DialogTemplate& dialog, QWidget* host) const
{
    SetUpHost(dialog, host);
    QWidget* previous = nullptr;
    for (const ControlTemplate& control : dialog.controls)
        previous = Create(control, host, previous);
}

void DialogBuilder::SetUpHost(const DialogTemplate& dialog, QWidget* host) const
{
    const QSize size(ToPixels(dialog.size.width()), ToPixels(dialog.size.height()));
    // A form sits inside a frame that may grow around it; a dialog keeps its size.
    if ((dialog.styles & DialogStyle::Child) != 0)
        host->resize(size);
    else
        host->setFixedSize(size);
    if (!dialog.caption.isEmpty())
        host->setWindowTitle(dialog.caption);
    QFont font(dialog.fontName);
    if (dialog.fontPoints > 0)
        font.setPixelSize(int(std::lround(dialog.fontPoints * kPixelsPerPoint)));
    host->setFont(font);
}

QWidget* DialogBuilder::Create(const ControlTemplate& control, QWidget* host, QWidget* previous) const
{
    const auto factory = m_factories.find(control.id);
    QWidget* widget = nullptr;
    if (factory != m_factories.end())
        widget = factory->second(control, host);
    const bool own = widget == nullptr;
    if (own)
        widget = CreateDefault(control, host, previous);
    // Re-parenting would hide a widget the factory already put on host.
    if (widget->parentWidget() != host)
        widget->setParent(host);
    widget->setProperty(kControlIdProperty, control.id);
    widget->setObjectName(QStringLiteral("control%1").arg(control.id));
    widget->setGeometry(PixelRect(control));
    ApplyKindStyles(control, widget, previous);
    ApplyCommonStyles(control, widget);
    if (own)
        ConnectCommand(control, widget, host);
    return widget;
}

QWidget* DialogBuilder::CreateDefault(const ControlTemplate& control, QWidget* host, QWidget*) const
{
    switch (control.kind) {
    case ControlKind::Static:
        return MakeStatic(control, host);
    case ControlKind::Icon:
        return MakeIcon(control, host, m_module);
    case ControlKind::Edit:
        return MakeEdit(control, host);
    case ControlKind::Button:
        return new QPushButton(control.text, host);
    case ControlKind::CheckBox:
        return new QCheckBox(control.text, host);
    case ControlKind::ComboBox:
        return MakeComboBox(control, host);
    case ControlKind::ListBox:
        return MakeListBox(control, host);
    case ControlKind::ListView:
        return MakeListView(control, host);
    case ControlKind::TreeView:
        return MakeTreeView(control, host);
    case ControlKind::Trackbar: {
        auto* slider = new QSlider(host);
        slider->setRange(0, kTrackbarDefaultMaximum);
        return slider;
    }
    case ControlKind::UpDown:
        return new UpDownControl(host);
    }
    return new QWidget(host);
}

void DialogBuilder::ApplyKindStyles(const ControlTemplate& control, QWidget* widget, QWidget* previous) const
{
    if (auto* slider = qobject_cast<QSlider*>(widget))
        ApplyTrackbarStyles(control, slider);
    if (auto* button = qobject_cast<QPushButton*>(widget))
        button->setDefault(Has(control, ControlStyle::DefaultButton));
    if (auto* upDown = qobject_cast<UpDownControl*>(widget))
        ApplyUpDownStyles(control, upDown, previous);
    if (control.kind == ControlKind::ComboBox)
        widget->setProperty("vdDroppedHeight", ToPixels(control.rect.height()));
}

void DialogBuilder::ApplyCommonStyles(const ControlTemplate& control, QWidget* widget) const
{
    if (!control.text.isEmpty())
        widget->setAccessibleName(control.text);
    widget->setEnabled(!Has(control, ControlStyle::Disabled));
    const bool focusable = control.kind != ControlKind::Static && control.kind != ControlKind::Icon
                           && control.kind != ControlKind::UpDown;
    if (!focusable)
        widget->setFocusPolicy(Qt::NoFocus);
    else
        widget->setFocusPolicy(Has(control, ControlStyle::TabStop) ? Qt::StrongFocus : Qt::ClickFocus);
    // A child that was never hidden is shown with its parent.
    if (Has(control, ControlStyle::Hidden))
        widget->hide();
}

void DialogBuilder::ConnectCommand(const ControlTemplate& control, QWidget* widget, QWidget* host) const
{
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (button == nullptr)
        return;
    const int id = control.id;
    QObject::connect(button, &QAbstractButton::clicked, host, [host, button, id] {
        SendMessageW(host, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), LPARAM(button));
    });
}

QWidget* GetDlgItem(const QWidget* host, int id)
{
    if (host == nullptr)
        return nullptr;
    for (QObject* child : host->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && widget->property(kControlIdProperty).toInt() == id
            && widget->property(kControlIdProperty).isValid())
            return widget;
    }
    return nullptr;
}

int GetDlgCtrlID(const QWidget* control)
{
    if (control == nullptr)
        return -1;
    const QVariant id = control->property(kControlIdProperty);
    return id.isValid() ? id.toInt() : -1;
}

int AddComboString(QComboBox* combo, const QString& text)
{
    int row = combo->count();
    if (combo->property(kSortedProperty).toBool()) {
        QStringList rows;
        for (int i = 0; i < combo->count(); ++i)
            rows << combo->itemText(i);
        row = SortedRow(rows, text);
    }
    combo->insertItem(row, text);
    return row;
}

int AddListString(QListWidget* list, const QString& text)
{
    int row = list->count();
    if (list->property(kSortedProperty).toBool()) {
        QStringList rows;
        for (int i = 0; i < list->count(); ++i)
            rows << list->item(i)->text();
        row = SortedRow(rows, text);
    }
    list->insertItem(row, text);
    return row;
}
