// SPDX-License-Identifier: GPL-2.0-or-later
#include "MainFrame.h"

#include "CmdUI.h"
#include "MenuBuilder.h"
#include "ResourceModule.h"
#include "VellumdeckApp.h"
#include "VellumdeckView.h"
#include "WindowMessage.h"
#include "resource.h"

#include <QCloseEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QMenu>
#include <QMenuBar>

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

int CMainFrame::OnCreate()
{
    const std::optional<MenuTemplate> menu = GetResourceModule().LoadMenu(IDR_MAINFRAME);
    if (!menu)
        return -1;
    QMenuBar* bar = CreateMenuBar(*menu, this, this);
    // An ordinary menu bar inside the window, on every desktop.
    bar->setNativeMenuBar(false);
    setMenuBar(bar);
    for (QMenu* popup : bar->findChildren<QMenu*>())
        connect(popup, &QMenu::aboutToShow, this, [this, popup] { UpdateMenu(popup); });
    if (const std::optional<AcceleratorTable> table = GetResourceModule().LoadAccelerators(IDR_MAINFRAME)) {
        InstallAccelerators(*table, this, this);
        ShowAcceleratorKeys(bar, *table);
    }
    setAcceptDrops(true);
    return 0;
}

namespace {

// The first local file a drop carries; empty when it carries none.
QString DroppedFile(const QMimeData* data)
{
    if (data == nullptr)
        return QString();
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            return url.toLocalFile();
    }
    return QString();
}

}  // namespace

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (m_view != nullptr && !DroppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    const QString file = DroppedFile(event->mimeData());
    if (m_view == nullptr || file.isEmpty())
        return;
    event->acceptProposedAction();
    // Once the drop is over: the file manager waits for it to end, and opening the file
    // may show a message.
    QMetaObject::invokeMethod(
        this, [this, file] {
            if (m_view != nullptr)
                m_view->OpenFile(file);
        },
        Qt::QueuedConnection);
}

void CMainFrame::SetView(CVellumdeckView* view)
{
    m_view = view;
    setCentralWidget(view);
}

QMenuBar* CMainFrame::GetMenuBar() const
{
    return qobject_cast<QMenuBar*>(menuWidget());
}

bool CMainFrame::IsCommandEnabled(int id) const
{
    CCmdUI state(id);
    if (m_view != nullptr)
        m_view->OnUpdateCmdUI(&state);
    return state.m_enabled;
}

void CMainFrame::UpdateMenu(QMenu* menu) const
{
    for (QAction* action : menu->actions()) {
        const int id = MenuCommandOf(action);
        if (id == 0)
            continue;
        CCmdUI state(id);
        if (m_view == nullptr || !m_view->OnUpdateCmdUI(&state))
            continue;
        action->setEnabled(state.m_enabled);
        if (state.m_checked >= 0) {
            action->setCheckable(true);
            action->setChecked(state.m_checked == 1);
        }
    }
}

bool CMainFrame::OnCommand(int id)
{
    // A command its update handler disables is dropped, also when an accelerator sent it.
    if (!IsCommandEnabled(id))
        return true;
    if (m_view != nullptr && m_view->OnCmdMsg(id))
        return true;
    if (CVellumdeckApp* app = CVellumdeckApp::Instance())
        return app->OnCmdMsg(id);
    return false;
}

void CMainFrame::BringToFront()
{
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool CMainFrame::event(QEvent* event)
{
    if (event->type() == WindowMessageEvent::EventType()) {
        auto* message = static_cast<WindowMessageEvent*>(event);
        if (message->message == WM_COMMAND && message->lParam == 0)
            message->result = OnCommand(LOWORD(message->wParam)) ? 1 : 0;
        return true;
    }
    return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The view's teardown runs while every window still exists.
    if (m_view != nullptr)
        m_view->OnDestroy();
    event->accept();
}
