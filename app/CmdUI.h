#pragma once
// The state of one menu item, asked of its handler just before the menu opens.

class CCmdUI
{
public:
    explicit CCmdUI(int id) : m_nID(id) {}
    void Enable(bool enable = true) { m_enabled = enable; m_handled = true; }

    int m_nID;
    bool m_enabled = true;
    bool m_handled = false;
};
