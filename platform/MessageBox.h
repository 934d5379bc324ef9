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
};

// Shows the box and returns the ID result of the button chosen.
int MessageBoxW(void* owner, const QString& text, const QString& caption, UINT flags);
// Installs the presenter for the whole process; returns the previous one. A null
// presenter restores the default. Waits until no box is being shown by the previous one.
std::unique_ptr<MessageBoxPresenter> SetMessageBoxPresenter(std::unique_ptr<MessageBoxPresenter> presenter);
// The ID result of the default button of a box with these flags (MB_DEFBUTTON2 honoured).
int DefaultMessageBoxResult(UINT flags);
