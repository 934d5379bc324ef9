// SPDX-License-Identifier: GPL-2.0-or-later
// drawbitmaps PROGRAM_FOLDER MEDIAPICK_FOLDER [--preview FILE.png]
// Draws every bitmap and writes the palette BMPs, and the program's icon as PNGs into
// the "icons" folder beside PROGRAM_FOLDER; with --preview also renders the panel as the
// view would show it, from the files just written, enlarged three times.

#include "BitmapCatalogue.h"
#include "IconArtist.h"
#include "PanelPreview.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

namespace {

constexpr int kPreviewZoom = 3;
constexpr int kFolderArguments = 3;

int Usage()
{
    QTextStream(stderr) << "usage: drawbitmaps PROGRAM_FOLDER MEDIAPICK_FOLDER [--preview FILE.png]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    // Fonts need a GUI application; no screen is needed to draw into images.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    const bool withPreview = args.size() == kFolderArguments + 2 && args[3] == "--preview";
    if (args.size() != kFolderArguments && !withPreview)
        return Usage();

    QString failed;
    if (!CBitmapCatalogue::WriteAll(CBitmapCatalogue::DrawAll(), args[1], args[2], &failed)) {
        QTextStream(stderr) << "drawbitmaps: cannot write " << failed << "\n";
        return 1;
    }
    if (!CIconArtist::WriteAll(QDir(args[1]).filePath(QStringLiteral("../icons")), &failed)) {
        QTextStream(stderr) << "drawbitmaps: cannot write " << failed << "\n";
        return 1;
    }
    if (withPreview) {
        const QImage preview = CPanelPreview::Render(args[1], kPreviewZoom);
        if (preview.isNull() || !preview.save(args[4])) {
            QTextStream(stderr) << "drawbitmaps: cannot render the preview " << args[4] << "\n";
            return 1;
        }
    }
    return 0;
}
