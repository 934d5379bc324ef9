// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Modal message boxes through the process's one presenter: standard error for a
// headless tool (the default), a recorder in tests, a real dialog when a GUI runs.

#include "Win32Defs.h"

#include <QString>

#include <memory>

class MessageBoxPresenter
{
public:
    virtual ~MessageBoxPresenter() = default;
    // owner is the window the box belongs to (a QWidget*), or null.
    virtual int Present(void* owner, const QString& text, const QString& caption, UINT flags) = 0;
    // See EndWorkerMessageBoxes. A presenter that never makes a caller wait has nothing to do.
    virtual void EndWorkerBoxes() {}
};

// Shows the box and returns the ID result of the button chosen.
int MessageBoxW(void* owner, const QString& text, const QString& caption, UINT flags);
// Installs the presenter for the whole process; returns the previous one. A null
// presenter restores the default. Waits until no box is being shown by the previous one.
std::unique_ptr<MessageBoxPresenter> SetMessageBoxPresenter(std::unique_ptr<MessageBoxPresenter> presenter);
// The user interface is going away: every box that a thread other than the user-interface
// thread is shown or waits for is answered at once as if closed without a button, and so
// is every later one, so that no thread waits for an answer that can no longer come.
// Boxes of the user-interface thread itself are shown as before. Call it on that thread.
void EndWorkerMessageBoxes();
// The ID result of the default button of a box with these flags (MB_DEFBUTTON2 honoured).
int DefaultMessageBoxResult(UINT flags);
