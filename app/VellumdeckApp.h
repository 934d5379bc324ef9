// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The application: start-up (one program per user and device root, the document
// template, the main window), the commands the view leaves to it, and the About box.

#include "SingleInstance.h"
#include "Win32Defs.h"

#include <QString>

#include <memory>

class CMainFrame;
class CSingleDocTemplate;
class CVellumdeckView;

class CVellumdeckApp
{
public:
    CVellumdeckApp();
    ~CVellumdeckApp();
    CVellumdeckApp(const CVellumdeckApp&) = delete;
    CVellumdeckApp& operator=(const CVellumdeckApp&) = delete;

    // The one application object while it exists.
    static CVellumdeckApp* Instance();

    // False when the program should end at once: another one runs (it has been brought
    // forward) or the main window could not be made.
    BOOL InitInstance();
    int ExitInstance();

    // The application's commands; false for one it does not handle.
    bool OnCmdMsg(int id);
    void OnAppAbout();
    void OnFileNew();
    void OnAppExit();

    CMainFrame* MainFrame() const;
    CVellumdeckView* View() const;

private:
    SingleInstance m_singleInstance;
    std::unique_ptr<CSingleDocTemplate> m_template;
};
