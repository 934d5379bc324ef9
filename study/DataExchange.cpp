// SPDX-License-Identifier: GPL-2.0-or-later
#include "DataExchange.h"

#include "ColourPicker.h"
#include "DialogBuilder.h"
#include "MessageBox.h"

#include <QCheckBox>
#include <QLineEdit>

namespace {

// What the class library says when an integer field holds something else.
constexpr char kParseIntMessage[] = "Please enter an integer.";
constexpr char kBelowMinimumMessage[] = "Please enter a number of %1 or more.";
constexpr char kMessageCaption[] = "Vellumdeck";

}  // namespace

void CDataExchange::Fail(int id)
{
    m_failed = true;
    QWidget* control = GetDlgItem(m_dialog, id);
    if (control == nullptr)
        return;
    control->setFocus();
    if (auto* edit = qobject_cast<QLineEdit*>(control))
        edit->selectAll();
}

void DDX_Check(CDataExchange& exchange, int id, int& value)
{
    if (exchange.HasFailed())
        return;
    auto* box = GetDlgItemAs<QCheckBox>(exchange.Dialog(), id);
    if (box == nullptr)
        return;
    if (exchange.IsSaving())
        value = box->isChecked() ? 1 : 0;
    else
        box->setChecked(value != 0);
}

void DDX_Text(CDataExchange& exchange, int id, int& value)
{
    if (exchange.HasFailed())
        return;
    auto* edit = GetDlgItemAs<QLineEdit>(exchange.Dialog(), id);
    if (edit == nullptr)
        return;
    if (!exchange.IsSaving()) {
        edit->setText(QString::number(value));
        return;
    }
    bool ok = false;
    const int typed = edit->text().trimmed().toInt(&ok);
    if (!ok) {
        MessageBoxW(exchange.Dialog(), QString::fromLatin1(kParseIntMessage), QString::fromLatin1(kMessageCaption),
                    MB_OK | MB_ICONEXCLAMATION);
        exchange.Fail(id);
        return;
    }
    value = typed;
}

void DDV_MinInt(CDataExchange& exchange, int id, int value, int minimum)
{
    if (exchange.HasFailed() || !exchange.IsSaving() || value >= minimum)
        return;
    MessageBoxW(exchange.Dialog(), QString::fromLatin1(kBelowMinimumMessage).arg(minimum),
                QString::fromLatin1(kMessageCaption), MB_OK | MB_ICONEXCLAMATION);
    exchange.Fail(id);
}

void ExchangePickerColour(CDataExchange& exchange, int id, COLORREF& colour)
{
    if (exchange.HasFailed())
        return;
    auto* picker = qobject_cast<CColourPicker*>(GetDlgItem(exchange.Dialog(), id));
    if (picker == nullptr)
        return;
    if (exchange.IsSaving())
        colour = picker->GetColour();
    else
        picker->SetColour(colour);
}
