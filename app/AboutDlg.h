// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The About box: the program's icon, name and version (the build's, as --version shows
// it). It has no button of its own and closes through its caption.

#include <QDialog>

class CAboutDlg : public QDialog
{
public:
    explicit CAboutDlg(QWidget* owner = nullptr);

    int DoModal();

protected:
    virtual bool OnInitDialog();
    void showEvent(QShowEvent* event) override;

private:
    bool m_initialised = false;
};
