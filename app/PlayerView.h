// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// What the player controller needs of the window it serves: where the player thread
// posts its notifications, the two hidden labels it writes the time texts into, and
// an owner for its message boxes. The main view implements it.

#include <QString>

class MessageTarget;

class PlayerView
{
public:
    virtual ~PlayerView() = default;

    // The owner window of the player thread; it must outlive the thread.
    virtual MessageTarget* PlayerNotifyTarget() = 0;
    virtual void SetDlgItemText(int id, const QString& text) = 0;
    // The owner of the controller's message boxes.
    virtual void* MessageBoxOwner() = 0;
};
