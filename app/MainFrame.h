// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The top-level window: the menu bar of menu 128 above the main view, and the
// accelerators of table 128. Files dropped on it are opened by the view. A menu or accelerator command goes to the view first and
// then to the application, once its update handler has allowed it.

#include <QMainWindow>

class CVellumdeckView;
class QMenu;
class QMenuBar;

class CMainFrame : public QMainWindow
{
public:
    CMainFrame();
    ~CMainFrame() override;

    // Creates the menu bar and the accelerators. -1 on failure, 0 otherwise.
    int OnCreate();
    void SetView(CVellumdeckView* view);
    CVellumdeckView* GetActiveView() const { return m_view; }
    QMenuBar* GetMenuBar() const;

    // Routes a command; false when nobody handled it.
    bool OnCommand(int id);
    // True unless an update handler disables the command.
    bool IsCommandEnabled(int id) const;
    // Runs the update handlers of every item of menu (before it opens).
    void UpdateMenu(QMenu* menu) const;
    // Brings the window to the front (a second start asked for it).
    void BringToFront();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A file dropped anywhere on the window goes to the view, which opens it.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    CVellumdeckView* m_view = nullptr;
};
