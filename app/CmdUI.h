// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The state of one menu item, asked of its handler just before the menu opens.

class CCmdUI
{
public:
    explicit CCmdUI(int id) : m_nID(id) {}
    void Enable(bool enable = true) { m_enabled = enable; m_handled = true; }
    // A check mark beside the item (it becomes a checkable item).
    void SetCheck(bool check = true) { m_checked = check ? 1 : 0; m_handled = true; }

    int m_nID;
    bool m_enabled = true;
    int m_checked = -1;   // -1: the item has no check mark
    bool m_handled = false;
};
