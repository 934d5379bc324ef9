// The program's entry: the zoom is settled before the application object exists, since
// Qt reads its scale factor once, at that moment.

#include "CommandLine.h"
#include "MessageBox.h"
#include "QtMessageBoxPresenter.h"
#include "ScreenZoom.h"
#include "VellumdeckApp.h"
#include "VellumdeckView.h"

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>

#include <cstdio>
#include <vector>

namespace {

// Room for the menu bar above the view when choosing the zoom.
constexpr int kMenuBarAllowance = 30;

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

int ChooseZoom(int argc, char** argv)
{
    QStringList arguments = ProgramArguments(argc, argv);
    int zoom = ScreenZoom::TakeOption(&arguments);
    if (zoom < 0)
        std::fprintf(stderr, "vellumdeck: --zoom takes a whole number from %d to %d\n", ScreenZoom::kMinZoom, ScreenZoom::kMaxZoom);
    if (zoom <= 0)
        zoom = ScreenZoom::FromEnvironment();
    if (zoom <= 0)
        zoom = ZoomForScreen(argc, argv);
    return zoom;
}

}  // namespace

int main(int argc, char** argv)
{
    ScreenZoom::Apply(ChooseZoom(argc, argv));

    QApplication application(argc, argv);
    QStringList arguments = application.arguments().mid(1);
    ScreenZoom::TakeOption(&arguments);
    CommandLine::SetArguments(arguments);
    SetMessageBoxPresenter(std::make_unique<QtMessageBoxPresenter>());

    CVellumdeckApp app;
    if (!app.InitInstance())
        return 0;
    const int result = application.exec();
    app.ExitInstance();
    return result;
}
