#include "VellumdeckApp.h"

#include "AboutDlg.h"
#include "CommandLine.h"
#include "MainFrame.h"
#include "SingleDocTemplate.h"
#include "VellumdeckDoc.h"
#include "VellumdeckView.h"
#include "resource.h"

#include <QFileInfo>

namespace {

CVellumdeckApp* g_app = nullptr;

// The command line in the form the view reads, for the running program to open. A file
// named relative to this start's folder is made absolute first, since the running
// program's folder may be another; device paths and names of nothing pass unchanged.
QString HandOverCommandLine()
{
    QStringList arguments = CommandLine::Arguments();
    for (QString& argument : arguments) {
        const QFileInfo file(argument);
        if (file.isRelative() && file.exists())
            argument = file.absoluteFilePath();
    }
    QStringList quoted;
    for (const QString& argument : arguments)
        quoted << QLatin1Char('"') + argument + QLatin1Char('"');
    return quoted.join(QLatin1Char(' '));
}

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
    if (m_singleInstance.ActivateRunning(HandOverCommandLine()))
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
