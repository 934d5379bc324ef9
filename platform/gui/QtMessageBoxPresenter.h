// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Message boxes as Qt dialogs on the user-interface thread. A call from another thread
// (the player thread) is carried to the user-interface thread and waits there for the
// user's answer.

#include "MessageBox.h"

#include <memory>
#include <mutex>
#include <vector>

class QMessageBox;
class QWidget;

class QtMessageBoxPresenter : public MessageBoxPresenter
{
public:
    QtMessageBoxPresenter();
    ~QtMessageBoxPresenter() override;

    int Present(void* owner, const QString& text, const QString& caption, UINT flags) override;
    // Boxes asked for by other threads: those waiting to be shown are answered at once,
    // those shown are closed, later ones answer without being shown.
    void EndWorkerBoxes() override;

    // Builds the box that Present shows: icon, buttons and default button from flags.
    // The caller owns it.
    static QMessageBox* CreateBox(QWidget* owner, const QString& text, const QString& caption, UINT flags);
    // The ID result for the way box was closed.
    static int ResultOf(const QMessageBox& box, UINT flags);

    // A box another thread waits for; shared with the call carried to the user-interface
    // thread, which may run after the wait has ended.
    class WorkerRequest;

private:
    static int ShowModal(QWidget* owner, const QString& text, const QString& caption, UINT flags,
                         WorkerRequest* request = nullptr);
    int PresentForWorker(QWidget* owner, const QString& text, const QString& caption, UINT flags);

    std::mutex m_lock;
    bool m_workerBoxesEnded = false;
    std::vector<std::shared_ptr<WorkerRequest>> m_waiting;
};
