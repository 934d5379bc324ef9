// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A pair of arrow buttons that steps an integer within a range and, when asked, writes it
// into a buddy edit field. The range binds only the arrows: whatever is typed into the
// buddy stays as typed.

#include <QWidget>

class QLineEdit;
class QToolButton;

class UpDownControl : public QWidget
{
    Q_OBJECT

public:
    explicit UpDownControl(QWidget* parent = nullptr);

    // lower may be above upper: the up arrow then counts down, as on the device.
    void SetRange(int lower, int upper);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    void SetPos(int position);
    int GetPos() const;

    void SetBuddy(QLineEdit* buddy);
    QLineEdit* Buddy() const { return m_buddy; }
    // Write the position into the buddy as decimal text at every change.
    void SetBuddyInt(bool on) { m_buddyInt = on; }
    // Up and Down keys in the buddy step as the arrows do.
    void SetArrowKeys(bool on) { m_arrowKeys = on; }

    // One step toward the upper end (up) or the lower end (down).
    void Step(bool up);

signals:
    void PositionChanged(int position);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    int Clamp(int position) const;
    void WriteBuddy();

    QToolButton* m_up;
    QToolButton* m_down;
    QLineEdit* m_buddy = nullptr;
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
    bool m_buddyInt = false;
    bool m_arrowKeys = false;
};
