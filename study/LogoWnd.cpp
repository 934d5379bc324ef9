// SPDX-License-Identifier: GPL-2.0-or-later
#include "LogoWnd.h"

#include "ResourceModule.h"
#include "resource.h"

#include <QPainter>

bool CLogoWnd::Create(QWidget* parent, const QRect& rect, int id)
{
    setParent(parent);
    setObjectName(QString::fromLatin1(kWindowName));
    setGeometry(rect);
    m_id = id;
    OnCreate();
    show();
    raise();
    return true;
}

void CLogoWnd::OnCreate()
{
    const QImage image = GetResourceModule().LoadBitmap(IDB_LOGO);
    if (!image.isNull())
        m_bitmap = QPixmap::fromImage(image);
}

void CLogoWnd::paintEvent(QPaintEvent*)
{
    OnPaint();
}

void CLogoWnd::OnPaint()
{
    // The whole block is copied; what the bitmap does not cover comes out black, as
    // from an empty memory context.
    QPainter painter(this);
    const QRect block(0, 0, kPaintWidth, kPaintHeight);
    painter.fillRect(block, Qt::black);
    if (!m_bitmap.isNull())
        painter.drawPixmap(QPoint(0, 0), m_bitmap, block);
}
