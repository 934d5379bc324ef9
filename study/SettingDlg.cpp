// SPDX-License-Identifier: GPL-2.0-or-later
#include "SettingDlg.h"

#include "ColourPicker.h"
#include "DataExchange.h"
#include "DialogBuilder.h"
#include "UpDownControl.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>

namespace {

QWidget* MakePicker(const ControlTemplate&, QWidget* parent)
{
    const CColourPicker::Factory factory = CColourPicker::LookupClass(QString::fromLatin1(CColourPicker::kClassName));
    return factory != nullptr ? factory(parent) : nullptr;
}

// A picker fits its size to its arrow once it is attached to its place in the dialog.
CColourPicker* AttachPicker(QWidget* dialog, int id)
{
    auto* picker = qobject_cast<CColourPicker*>(GetDlgItem(dialog, id));
    if (picker != nullptr)
        picker->PreSubclassWindow();
    return picker;
}

}  // namespace

CSettingDlg::CSettingDlg(QWidget* parent)
    : QDialog(parent)
{
    DialogBuilder builder;
    builder.SetFactory(IDC_BK_COLOR, MakePicker);
    builder.SetFactory(IDC_TXT_COLOR, MakePicker);
    builder.Build(IDD_SETTING, this);
}

int CSettingDlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

QStringList CSettingDlg::EnumFontFamilies() const
{
    return QFontDatabase::families();
}

void CSettingDlg::DoDataExchange(CDataExchange& exchange)
{
    if (m_sizeSpin == nullptr)
        m_sizeSpin = GetDlgItemAs<UpDownControl>(this, IDC_SIZE_SPIN);
    if (m_fontList == nullptr)
        m_fontList = GetDlgItemAs<QComboBox>(this, IDC_FONT_LIST);
    if (m_textColourButton == nullptr)
        m_textColourButton = AttachPicker(this, IDC_TXT_COLOR);
    if (m_bkColourButton == nullptr)
        m_bkColourButton = AttachPicker(this, IDC_BK_COLOR);

    DDX_Check(exchange, IDC_BOLD, m_bold);
    DDX_Text(exchange, IDC_FONT_SIZE, m_size);
    DDV_MinInt(exchange, IDC_FONT_SIZE, m_size, kMinSize);
    ExchangePickerColour(exchange, IDC_TXT_COLOR, m_textColour);
    ExchangePickerColour(exchange, IDC_BK_COLOR, m_bkColour);
}

bool CSettingDlg::UpdateData(bool saveAndValidate)
{
    CDataExchange exchange(this, saveAndValidate);
    DoDataExchange(exchange);
    return !exchange.HasFailed();
}

bool CSettingDlg::OnInitDialog()
{
    UpdateData(false);
    for (CColourPicker* picker : {m_textColourButton, m_bkColourButton}) {
        if (picker == nullptr)
            continue;
        picker->SetAutoText(QString::fromLatin1(kAutoText));
        picker->SetCancelText(QString::fromLatin1(kCancelText));
    }
    FillFontList();
    SelectFaceName();
    if (m_sizeSpin != nullptr) {
        m_sizeSpin->SetRange(kSpinLower, kSpinUpper);
        m_sizeSpin->SetPos(m_size);
    }
    UpdateData(false);
    return true;
}

void CSettingDlg::FillFontList()
{
    if (m_fontList == nullptr)
        return;
    m_fontList->clear();
    for (const QString& family : EnumFontFamilies())
        AddComboString(m_fontList, family);
}

void CSettingDlg::SelectFaceName()
{
    if (m_fontList == nullptr)
        return;
    ShowFaceName();
    // A long family name reads from its beginning in the narrow field.
    if (QLineEdit* edit = m_fontList->lineEdit())
        edit->setCursorPosition(0);
}

void CSettingDlg::ShowFaceName()
{
    if (m_faceName.isEmpty()) {
        m_fontList->setCurrentIndex(m_fontList->count() > 0 ? 0 : -1);
        return;
    }
    for (int row = 0; row < m_fontList->count(); ++row) {
        if (m_fontList->itemText(row).startsWith(m_faceName, Qt::CaseInsensitive)) {
            m_fontList->setCurrentIndex(row);
            return;
        }
    }
    // No installed family begins with it: show the name in force, with no row selected,
    // so that OK keeps it.
    m_fontList->setCurrentIndex(-1);
    m_fontList->setEditText(m_faceName);
}

void CSettingDlg::OnOK()
{
    // A size that is no whole number is refused once, and the dialog stays open.
    if (!UpdateData(true))
        return;
    const int row = m_fontList != nullptr ? m_fontList->currentIndex() : -1;
    if (row >= 0)
        m_faceName = m_fontList->itemText(row);
    accept();
}

void CSettingDlg::OnCancel()
{
    reject();
}

bool CSettingDlg::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::EventType()) {
        auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == WM_COMMAND) {
            switch (LOWORD(message->wParam)) {
            case IDOK:
                OnOK();
                return true;
            case IDCANCEL:
                OnCancel();
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::event(event);
}
