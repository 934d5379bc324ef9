// SPDX-License-Identifier: GPL-2.0-or-later
// The program's entry: the options are read and the zoom is settled before the
// application object exists, since Qt reads its scale factor once, at that moment (and
// --help needs no display).

#include "CommandLine.h"
#include "DevicePath.h"
#include "MessageBox.h"
#include "MprisService.h"
#include "ProgramOptions.h"
#include "ProgramVersion.h"
#include "ResourceModule.h"
#include "QtMessageBoxPresenter.h"
#include "ScreenZoom.h"
#include "VellumdeckApp.h"
#include "VellumdeckView.h"
#include "resource.h"

#include <QApplication>
#include <QDBusConnection>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>

#include <cstdio>
#include <vector>

namespace {

// The launcher's name, which the desktop matches windows and media controls against.
const QString kDesktopFileName = QStringLiteral("vellumdeck");

// Room for the menu bar above the view when choosing the zoom.
constexpr int kMenuBarAllowance = 30;

// The files as the program reads them: a path typed in a shell names a file relative to
// the folder it was typed in, which the running program (if any) does not share.
QStringList FilesToOpen(const QStringList& files)
{
    QStringList paths;
    for (const QString& file : files)
        paths << DevicePath::FromCommandLine(file);
    return paths;
}

QStringList ProgramArguments(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Asks the screen with a short-lived application object; Qt's own options in argv are
// left for the real one.
int ZoomForScreen(int argc, char** argv)
{
    std::vector<char*> copy(argv, argv + argc);
    copy.push_back(nullptr);
    int copyCount = argc;
    QGuiApplication probe(copyCount, copy.data());
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return ScreenZoom::kMinZoom;
    const QSize window(CVellumdeckView::kClientWidth, CVellumdeckView::kClientHeight + kMenuBarAllowance);
    return ScreenZoom::Choose(screen->availableGeometry().size(), window);
}

int ChooseZoom(int argc, char** argv, int optionZoom)
{
    int zoom = optionZoom;
    if (zoom <= 0)
        zoom = ScreenZoom::FromEnvironment();
    if (zoom <= 0)
        zoom = ZoomForScreen(argc, argv);
    return zoom;
}

}  // namespace

int main(int argc, char** argv)
{
    const ProgramOptions options = ProgramOptions::Parse(ProgramArguments(argc, argv), QStringLiteral(VELLUMDECK_VERSION));
    if (options.GetOutcome() == ProgramOptions::Outcome::Error) {
        std::fputs(options.Message().toLocal8Bit().constData(), stderr);
        return ProgramOptions::kUsageErrorExitCode;
    }
    if (options.GetOutcome() == ProgramOptions::Outcome::Exit) {
        std::fputs(options.Message().toLocal8Bit().constData(), stdout);
        return 0;
    }
    options.Apply();
    ScreenZoom::Apply(ChooseZoom(argc, argv, options.Zoom()));

    QApplication application(argc, argv);
    QGuiApplication::setDesktopFileName(kDesktopFileName);
    QGuiApplication::setWindowIcon(QIcon::fromTheme(kDesktopFileName, QIcon(QPixmap::fromImage(GetResourceModule().LoadIcon(IDR_MAINFRAME)))));
    CommandLine::SetArguments(FilesToOpen(options.Files()));
    SetMessageBoxPresenter(std::make_unique<QtMessageBoxPresenter>());

    CVellumdeckApp app;
    if (!app.InitInstance())
        return 0;
    // Media keys and the desktop's media controls; silent without a session bus.
    MprisService mpris(&app, QDBusConnection::sessionBus());
    mpris.Register();
    const int result = application.exec();
    app.ExitInstance();
    return result;
}
