// SPDX-License-Identifier: GPL-2.0-or-later
// The main view in a window larger than the handheld's screen: the study text pane
// takes the extra room, and the player panel keeps its drawn size at the bottom,
// centred. The skin's borders stretch around both; the panel's own pixels and the time
// texts come from the back buffer as they are. At the form's own size nothing moves.

#include "VellumdeckView.h"

#include "RegSettings.h"

#include <QPainter>
#include <QResizeEvent>

namespace {

// The skin's borders, which stretch: around the text pane, and at the panel's ends.
constexpr int kLeftBorder = 3;
constexpr int kRightBorder = 6;
constexpr int kTopBorder = 3;
constexpr int kPanelEnds = 3;

}  // namespace

void CVellumdeckView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    LayOut();
}

QRect CVellumdeckView::PanelToView(const QRect& rect) const
{
    return rect.top() >= kPanelTop ? rect.translated(m_panelOffset) : rect;
}

void CVellumdeckView::LayOut()
{
    if (!m_seekSliderHome.isValid()) {
        // The form put the sliders at their places in the panel's drawing.
        m_seekSliderHome = m_seekSlider.geometry();
        m_volumeSliderHome = m_volumeSlider.geometry();
    }
    m_panelOffset = QPoint(std::max(0, (width() - kClientWidth) / 2), std::max(0, height() - kClientHeight));
    const QSize grown(width() - kClientWidth, height() - kClientHeight);
    if (m_setUp)
        m_textPane.setGeometry(QRect(kTextPaneRect.topLeft(), kTextPaneRect.size() + grown));
    for (std::size_t i = 0; i < kButtons.size(); ++i)
        m_buttons[i].move(QPoint(kButtons[i].rect.left, kButtons[i].rect.top) + m_panelOffset);
    m_seekSlider.move(m_seekSliderHome.topLeft() + m_panelOffset);
    m_volumeSlider.move(m_volumeSliderHome.topLeft() + m_panelOffset);
}

void CVellumdeckView::DrawGrown(QPainter& painter)
{
    const int w = width();
    const int h = height();
    const int top = h - (kClientHeight - kPanelTop);   // where the panel begins
    const QImage& skin = m_skinBitmap;
    // Above: the skin's frame around the pane, its middle stretched (the pane covers it).
    const int xs[] = {0, kLeftBorder, kClientWidth - kRightBorder, kClientWidth};
    const int xd[] = {0, kLeftBorder, w - kRightBorder, w};
    const int ys[] = {0, kTopBorder, kPanelTop - 1, kPanelTop};
    const int yd[] = {0, kTopBorder, top - 1, top};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            painter.drawImage(QRect(QPoint(xd[i], yd[j]), QPoint(xd[i + 1] - 1, yd[j + 1] - 1)), skin,
                              QRect(QPoint(xs[i], ys[j]), QPoint(xs[i + 1] - 1, ys[j + 1] - 1)));
        }
    }
    // Below: the panel's ends at the window's edges, its inside where it is drawn, and a
    // plain column of its background (left of the play button) stretched between.
    const int rows = kClientHeight - kPanelTop;
    const int left = m_panelOffset.x();
    painter.drawImage(QRect(0, top, kPanelEnds, rows), skin, QRect(0, kPanelTop, kPanelEnds, rows));
    painter.drawImage(QRect(w - kPanelEnds, top, kPanelEnds, rows), skin,
                      QRect(kClientWidth - kPanelEnds, kPanelTop, kPanelEnds, rows));
    const QRect filler(kPanelEnds, kPanelTop, 1, rows);
    painter.drawImage(QRect(kPanelEnds, top, left, rows), skin, filler);
    painter.drawImage(QRect(left + kClientWidth - kPanelEnds, top, w - left - kClientWidth, rows), skin, filler);
    const qreal ratio = m_backBuffer.devicePixelRatio();
    const QRect inside(kPanelEnds, kPanelTop, kClientWidth - 2 * kPanelEnds, rows);
    painter.drawImage(QRectF(inside.translated(m_panelOffset)), m_backBuffer,
                      QRectF(inside.x() * ratio, inside.y() * ratio, inside.width() * ratio, inside.height() * ratio));
}

void CVellumdeckView::RestoreFrameGeometry()
{
    QWidget* frame = window();
    if (frame == this)
        return;
    const QByteArray geometry = CRegSettings().GetBytes(CRegSettings::kWindowValue);
    if (!geometry.isEmpty())
        frame->restoreGeometry(geometry);
}

void CVellumdeckView::StoreFrameGeometry()
{
    QWidget* frame = window();
    if (!m_setUp || frame == this)
        return;
    CRegSettings().SetBytes(CRegSettings::kWindowValue, frame->saveGeometry());
}
