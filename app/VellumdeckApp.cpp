// SPDX-License-Identifier: GPL-2.0-or-later
#include "VellumdeckApp.h"

#include "AboutDlg.h"
#include "CommandLine.h"
#include "MainFrame.h"
#include "SingleDocTemplate.h"
#include "VellumdeckDoc.h"
#include "VellumdeckView.h"
#include "resource.h"

namespace {

CVellumdeckApp* g_app = nullptr;

}  // namespace

CVellumdeckApp::CVellumdeckApp()
{
    g_app = this;
}

CVellumdeckApp::~CVellumdeckApp()
{
    ExitInstance();
    if (g_app == this)
        g_app = nullptr;
}

CVellumdeckApp* CVellumdeckApp::Instance()
{
    return g_app;
}

BOOL CVellumdeckApp::InitInstance()
{
    // The files were made absolute where they entered, so the running program, whose
    // folder may be another, finds them.
    if (m_singleInstance.ActivateRunning(CommandLine::GetCommandLineW()))
        return false;
    m_singleInstance.SetOpenHandler([this](const QString& commandLine) {
        if (CVellumdeckView* view = View())
            view->OpenHandedOverFile(commandLine);
    });
    m_singleInstance.Listen([this] {
        if (CMainFrame* frame = MainFrame())
            frame->BringToFront();
    });

    m_template = std::make_unique<CSingleDocTemplate>(
        IDR_MAINFRAME, [] { return std::make_unique<CVellumdeckDoc>(); },
        [] { return std::make_unique<CMainFrame>(); }, [] { return new CVellumdeckView(); });
    if (!m_template->OpenNewDocument())
        return false;

    CMainFrame* frame = MainFrame();
    frame->show();
    frame->update();
    return true;
}

int CVellumdeckApp::ExitInstance()
{
    if (m_template)
        m_template->CloseAll();
    m_template.reset();
    return 0;
}

bool CVellumdeckApp::OnCmdMsg(int id)
{
    switch (id) {
    case ID_APP_ABOUT:
        OnAppAbout();
        return true;
    case ID_FILE_NEW:
        OnFileNew();
        return true;
    case ID_APP_EXIT:
        OnAppExit();
        return true;
    case ID_FILE_OPEN:
        // Opening is the view's; a document of its own has nothing to open.
        return true;
    default:
        return false;
    }
}

void CVellumdeckApp::OnAppAbout()
{
    CAboutDlg about(MainFrame());
    about.DoModal();
}

void CVellumdeckApp::OnFileNew()
{
    if (m_template)
        m_template->OpenNewDocument();
}

void CVellumdeckApp::OnAppExit()
{
    if (CMainFrame* frame = MainFrame())
        frame->close();
}

CMainFrame* CVellumdeckApp::MainFrame() const
{
    return m_template ? m_template->Frame() : nullptr;
}

CVellumdeckView* CVellumdeckApp::View() const
{
    return m_template ? m_template->View() : nullptr;
}
