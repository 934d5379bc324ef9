#pragma once
// Message boxes as Qt dialogs on the user-interface thread. A call from another thread
// (the player thread) is carried to the user-interface thread and waits there for the
// user's answer.

#include "MessageBox.h"

class QMessageBox;
class QWidget;

class QtMessageBoxPresenter : public MessageBoxPresenter
{
public:
    int Present(void* owner, const QString& text, const QString& caption, UINT flags) override;

    // Builds the box that Present shows: icon, buttons and default button from flags.
    // The caller owns it.
    static QMessageBox* CreateBox(QWidget* owner, const QString& text, const QString& caption, UINT flags);
    // The ID result for the way box was closed.
    static int ResultOf(const QMessageBox& box, UINT flags);

private:
    static int ShowModal(QWidget* owner, const QString& text, const QString& caption, UINT flags);
};
