// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The small Search dialog: one edit for the search text and a "Search" button (OK).

#include <QDialog>
#include <QString>

class QLineEdit;

class CSearchDlg : public QDialog
{
public:
    explicit CSearchDlg(QWidget* parent = nullptr);

    // Runs the dialog; IDOK or IDCANCEL.
    int DoModal();

    // The search text: shown when the dialog opens, taken back on OK.
    QString m_searchText;

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void done(int result) override;

    bool OnInitDialog();
    void OnOK();
    void OnSetFocusSearchText();

private:
    QLineEdit* SearchEdit() const;
};
