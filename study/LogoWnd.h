// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The picture that covers the study text pane while no text is loaded. It lives only
// as the pane's child; the pane creates and removes it.

#include <QPixmap>
#include <QWidget>

class CLogoWnd : public QWidget
{
public:
    static constexpr char kWindowName[] = "VELLUMDECKLOGOWND";
    // The block copied to the window, from the bitmap's top left corner.
    static constexpr int kPaintWidth = 240;
    static constexpr int kPaintHeight = 203;

    CLogoWnd() = default;

    // Makes the window child `id` of parent at rect (parent coordinates), visible.
    bool Create(QWidget* parent, const QRect& rect, int id);
    int GetDlgCtrlID() const { return m_id; }
    bool HasBitmap() const { return !m_bitmap.isNull(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void OnCreate();
    void OnPaint();

    QPixmap m_bitmap;   // empty when the bitmap did not load
    int m_id = 0;
};
