// SPDX-License-Identifier: GPL-2.0-or-later
// The skinned slider's stylus and keys, and the scroll notices they send its parent.
#include "SkinSlider.h"

#include "WindowMessage.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <array>

namespace {

// Holding the stylus on the channel pages again after a pause, then steadily.
constexpr int kPageFirstDelayMs = 500;
constexpr int kPageRepeatMs = 100;

} // namespace

// ---- input ----

void CSkinSlider::NotifyParent(WORD code)
{
    const bool carriesPosition = code == TB_THUMBTRACK || code == TB_THUMBPOSITION;
    const WPARAM wParam = MAKEWPARAM(code, carriesPosition ? WORD(value()) : WORD(0));
    SendMessageW(parentWidget(), IsHorizontal() ? WM_HSCROLL : WM_VSCROLL, wParam,
                 LPARAM(static_cast<QWidget*>(this)));
}

void CSkinSlider::MoveTo(int position, WORD code)
{
    setValue(std::clamp(position, minimum(), maximum()));
    NotifyParent(code);
}

void CSkinSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    const QPoint point = event->position().toPoint();
    if (GetThumbRect().contains(point))
        StartDrag(point);
    else
        StartPaging(point);
    event->accept();
}

void CSkinSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        Drag(event->position().toPoint());
    else if (m_paging)
        m_pageTarget = Along(event->position().toPoint());
    event->accept();
}

void CSkinSlider::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        EndTracking();
    event->accept();
}

void CSkinSlider::StartDrag(const QPoint& point)
{
    m_dragging = true;
    m_tracked = false;
    m_grabOffset = Along(point) - OffsetOf(value());
    setSliderDown(true);
    repaint();
}

void CSkinSlider::Drag(const QPoint& point)
{
    const int position = PositionAt(Along(point) - m_grabOffset);
    if (position == value())
        return;
    m_tracked = true;
    MoveTo(position, TB_THUMBTRACK);
}

void CSkinSlider::StartPaging(const QPoint& point)
{
    m_paging = true;
    m_pageTarget = Along(point);
    const QRect thumb = GetThumbRect();
    const int thumbStart = Along(thumb.topLeft());
    m_pageDirection = m_pageTarget < thumbStart ? -1 : (m_pageTarget >= thumbStart + ThumbLength() ? +1 : 0);
    if (PageTowardStylus())
        m_pageTimer.start(kPageFirstDelayMs);
}

void CSkinSlider::OnPageTimer()
{
    m_pageTimer.setInterval(kPageRepeatMs);
    if (!PageTowardStylus())
        m_pageTimer.stop();
}

// The thumb has come to the stylus once it lies under it or beyond it, seen from where
// it started: a page longer than the thumb steps over the stylus, and paging back from
// there would swing the thumb from side to side for as long as the stylus is held.
bool CSkinSlider::ThumbHasReachedStylus() const
{
    const int thumbStart = Along(GetThumbRect().topLeft());
    if (m_pageDirection > 0)
        return m_pageTarget < thumbStart + ThumbLength();
    if (m_pageDirection < 0)
        return m_pageTarget >= thumbStart;
    return true;
}

bool CSkinSlider::PageTowardStylus()
{
    if (ThumbHasReachedStylus())
        return false;
    const int before = value();
    if (m_pageDirection < 0)
        MoveTo(before - pageStep(), TB_PAGEUP);
    else
        MoveTo(before + pageStep(), TB_PAGEDOWN);
    // At the end of the range there is nowhere further to go.
    return value() != before && !ThumbHasReachedStylus();
}

void CSkinSlider::EndTracking()
{
    const bool wasDragging = m_dragging;
    const bool wasPaging = m_paging;
    m_pageTimer.stop();
    m_paging = false;
    m_dragging = false;
    if (wasDragging) {
        setSliderDown(false);
        repaint();
        if (m_tracked)
            NotifyParent(TB_THUMBPOSITION);
    }
    if (wasDragging || wasPaging)
        NotifyParent(TB_ENDTRACK);
}

void CSkinSlider::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
        MoveTo(value() - singleStep(), TB_LINEUP);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        MoveTo(value() + singleStep(), TB_LINEDOWN);
        break;
    case Qt::Key_PageUp:
        MoveTo(value() - pageStep(), TB_PAGEUP);
        break;
    case Qt::Key_PageDown:
        MoveTo(value() + pageStep(), TB_PAGEDOWN);
        break;
    case Qt::Key_Home:
        MoveTo(minimum(), TB_TOP);
        break;
    case Qt::Key_End:
        MoveTo(maximum(), TB_BOTTOM);
        break;
    default:
        event->ignore();
        return;
    }
    event->accept();
}

void CSkinSlider::keyReleaseEvent(QKeyEvent* event)
{
    static constexpr std::array kMovingKeys{Qt::Key_Left, Qt::Key_Up, Qt::Key_Right, Qt::Key_Down,
                                            Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End};
    const bool moving = std::find(kMovingKeys.begin(), kMovingKeys.end(), event->key()) != kMovingKeys.end();
    if (!moving) {
        event->ignore();
        return;
    }
    if (!event->isAutoRepeat())
        NotifyParent(TB_ENDTRACK);
    event->accept();
}

void CSkinSlider::wheelEvent(QWheelEvent* event)
{
    // The wheel would move the thumb without a notice to the parent; leave it to the parent.
    event->ignore();
}
