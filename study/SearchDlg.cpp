// SPDX-License-Identifier: GPL-2.0-or-later
#include "SearchDlg.h"

#include "DialogBuilder.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QLineEdit>

namespace {

// The handheld raised its on-screen keyboard for typing; a desktop has a real one, so
// showing and hiding the input panel does nothing here.
void ShowInputPanel(bool)
{
}

}  // namespace

CSearchDlg::CSearchDlg(QWidget* parent)
    : QDialog(parent)
{
    DialogBuilder().Build(IDD_SEARCH, this);
    if (QLineEdit* edit = SearchEdit())
        edit->installEventFilter(this);
}

int CSearchDlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CSearchDlg::OnInitDialog()
{
    if (QLineEdit* edit = SearchEdit()) {
        edit->setText(m_searchText);
        edit->setFocus();
    }
    return true;
}

void CSearchDlg::OnOK()
{
    if (QLineEdit* edit = SearchEdit())
        m_searchText = edit->text();
    ShowInputPanel(false);
    accept();
}

void CSearchDlg::OnSetFocusSearchText()
{
    ShowInputPanel(true);
}

void CSearchDlg::done(int result)
{
    // However the dialog ends (OK, cancel, closed), the input panel goes with it.
    ShowInputPanel(false);
    QDialog::done(result);
}

bool CSearchDlg::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::EventType()) {
        auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == WM_COMMAND && LOWORD(message->wParam) == IDOK) {
            OnOK();
            return true;
        }
    }
    return QDialog::event(event);
}

bool CSearchDlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == SearchEdit() && event->type() == QEvent::FocusIn)
        OnSetFocusSearchText();
    return QDialog::eventFilter(watched, event);
}

QLineEdit* CSearchDlg::SearchEdit() const
{
    return GetDlgItemAs<QLineEdit>(this, IDC_SEARCH_TEXT);
}
