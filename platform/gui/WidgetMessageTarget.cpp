// SPDX-License-Identifier: GPL-2.0-or-later
#include "WidgetMessageTarget.h"

#include "WindowMessage.h"

#include <QObject>

WidgetMessageTarget::WidgetMessageTarget(QObject* target) : m_target(target)
{
    if (target != nullptr)
        m_destroyed = QObject::connect(target, &QObject::destroyed, [this] { Forget(); });
}

WidgetMessageTarget::~WidgetMessageTarget()
{
    QObject::disconnect(m_destroyed);
}

void WidgetMessageTarget::Forget()
{
    std::lock_guard guard(m_lock);
    m_target = nullptr;
}

bool WidgetMessageTarget::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    std::lock_guard guard(m_lock);
    return PostMessageW(m_target.data(), msg, wParam, lParam);
}
