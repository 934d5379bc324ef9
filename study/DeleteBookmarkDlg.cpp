// SPDX-License-Identifier: GPL-2.0-or-later
#include "DeleteBookmarkDlg.h"

#include "BookmarkList.h"
#include "DialogBuilder.h"
#include "MessageBox.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QListWidget>

namespace {

constexpr char kDeleteAllQuestion[] = "Delete all?";
constexpr char kDeleteAllCaption[] = "Delete all";

}  // namespace

CDeleteBookmarkDlg::CDeleteBookmarkDlg(QWidget* parent)
    : QDialog(parent)
{
    DialogBuilder().Build(IDD_DELETE_BOOKMARK, this);
    m_listBox = GetDlgItemAs<QListWidget>(this, IDC_BOOKMARK_LIST);
}

int CDeleteBookmarkDlg::DoModal()
{
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

bool CDeleteBookmarkDlg::OnInitDialog()
{
    if (m_listBox == nullptr || m_bookmarkList == nullptr)
        return true;
    // Row k is entry k: the rows are never sorted.
    m_listBox->clear();
    for (int i = 0; i < m_bookmarkList->GetCount(); ++i)
        AddListString(m_listBox, m_bookmarkList->GetAt(i).Label());
    return true;
}

void CDeleteBookmarkDlg::OnDelete()
{
    if (m_listBox == nullptr)
        return;
    const QList<QListWidgetItem*> selected = m_listBox->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = m_listBox->row(selected.first());
    delete m_listBox->takeItem(row);
    if (m_bookmarkList)
        m_bookmarkList->RemoveAt(row);
}

void CDeleteBookmarkDlg::OnDeleteAll()
{
    if (MessageBoxW(this, QString::fromLatin1(kDeleteAllQuestion), QString::fromLatin1(kDeleteAllCaption), MB_YESNO)
        != IDYES)
        return;
    if (m_bookmarkList)
        m_bookmarkList->RemoveAll();
    if (m_listBox)
        m_listBox->clear();
}

bool CDeleteBookmarkDlg::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::EventType()) {
        auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == WM_COMMAND) {
            switch (LOWORD(message->wParam)) {
            case IDC_DELETE:
                OnDelete();
                return true;
            case IDC_DELETE_ALL:
                OnDeleteAll();
                return true;
            default:
                break;
            }
        }
    }
    return QDialog::event(event);
}
