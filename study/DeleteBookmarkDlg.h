// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The Delete Bookmark dialog: the labels of the bookmarks in list order, "Delete" for
// the selected one and "Delete All". Every change applies to the list at once; the
// dialog is closed from its caption.

#include <QDialog>

class CBookmarkList;
class QListWidget;

class CDeleteBookmarkDlg : public QDialog
{
public:
    explicit CDeleteBookmarkDlg(QWidget* parent = nullptr);

    // The list to edit; call before DoModal.
    void SetBookmarkList(CBookmarkList* list) { m_bookmarkList = list; }
    int DoModal();

protected:
    bool event(QEvent* event) override;

    bool OnInitDialog();
    void OnDelete();
    void OnDeleteAll();

private:
    QListWidget* m_listBox = nullptr;
    CBookmarkList* m_bookmarkList = nullptr;   // not owned
};
