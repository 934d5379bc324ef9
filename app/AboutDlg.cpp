// SPDX-License-Identifier: GPL-2.0-or-later
#include "AboutDlg.h"

#include "DialogBuilder.h"
#include "ProgramVersion.h"
#include "resource.h"

#include <QLabel>

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner)
{
    DialogBuilder().Build(IDD_ABOUTBOX, this);
    // The template's version line leaves the number to the build, as --version does.
    if (auto* version = GetDlgItemAs<QLabel>(this, IDC_ABOUT_VERSION))
        version->setText(version->text().arg(QStringLiteral(VELLUMDECK_VERSION)));
}

int CAboutDlg::DoModal()
{
    return exec();
}

bool CAboutDlg::OnInitDialog()
{
    // Centred on the window that owns the box.
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - rect().center());
    }
    return true;
}

void CAboutDlg::showEvent(QShowEvent* event)
{
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}
