#include "AboutDlg.h"

#include "DialogBuilder.h"
#include "resource.h"

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner)
{
    DialogBuilder().Build(IDD_ABOUTBOX, this);
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
