// SPDX-License-Identifier: GPL-2.0-or-later
#include "UpDownControl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

UpDownControl::UpDownControl(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* button : {m_up, m_down}) {
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        layout->addWidget(button);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    connect(m_up, &QToolButton::clicked, this, [this] { Step(true); });
    connect(m_down, &QToolButton::clicked, this, [this] { Step(false); });
}

void UpDownControl::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
}

int UpDownControl::Clamp(int position) const
{
    return std::clamp(position, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
}

void UpDownControl::SetPos(int position)
{
    m_position = Clamp(position);
    WriteBuddy();
}

int UpDownControl::GetPos() const
{
    // The buddy's text is the position the user sees; an unreadable text leaves the last one.
    if (m_buddyInt && m_buddy != nullptr) {
        bool ok = false;
        const int typed = m_buddy->text().trimmed().toInt(&ok);
        if (ok)
            return typed;
    }
    return m_position;
}

void UpDownControl::SetBuddy(QLineEdit* buddy)
{
    if (m_buddy != nullptr)
        m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    if (m_buddy != nullptr)
        m_buddy->installEventFilter(this);
}

void UpDownControl::Step(bool up)
{
    const int direction = (m_upper >= m_lower) == up ? 1 : -1;
    const int next = Clamp(GetPos() + direction);
    m_position = next;
    WriteBuddy();
    emit PositionChanged(m_position);
}

void UpDownControl::WriteBuddy()
{
    if (m_buddyInt && m_buddy != nullptr)
        m_buddy->setText(QString::number(m_position));
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event)
{
    if (m_arrowKeys && watched == m_buddy && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
