// SPDX-License-Identifier: GPL-2.0-or-later
// The software centres' listing names what the package installs: the launcher it starts,
// the screenshot committed in docs/, file types the launcher opens.

#include "PackageFiles.h"

#include <QFileInfo>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>

namespace {

// Each element's own text by name; the texts of repeated elements are joined with a space.
std::map<QString, QString> ElementTexts(const QString& xml)
{
    std::map<QString, QString> texts;
    QStringList open;
    QXmlStreamReader reader(xml);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            open << reader.name().toString();
            break;
        case QXmlStreamReader::EndElement:
            open.removeLast();
            break;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace() && !open.isEmpty()) {
                QString& joined = texts[open.last()];
                joined += (joined.isEmpty() ? QString() : QStringLiteral(" ")) + reader.text().trimmed().toString();
            }
            break;
        default:
            break;
        }
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return texts;
}

// The file types of the launcher's MimeType= line.
QStringList LauncherTypes(const QString& desktopFile)
{
    for (const QString& line : desktopFile.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("MimeType=")))
            return line.mid(9).split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    return {};
}

TEST(MetainfoTest, NamesTheInstalledLauncherTheCommittedScreenshotAndTheLaunchersFileTypes)
{
    const QString source = QStringLiteral(VD_SOURCE_DIR);
    std::map<QString, QString> listing = ElementTexts(ReadText(QStringLiteral(VD_METAINFO)));

    // desktop/ installs its launcher under its own name.
    const QString launcher = listing[QStringLiteral("launchable")];
    ASSERT_TRUE(launcher.endsWith(QLatin1String(".desktop")) &&
                QFileInfo::exists(source + QStringLiteral("/desktop/") + launcher))
        << launcher.toStdString();

    const QString screenshot = listing[QStringLiteral("image")];
    const qsizetype docs = screenshot.indexOf(QLatin1String("/docs/"));
    ASSERT_GE(docs, 0) << screenshot.toStdString();
    EXPECT_TRUE(QFileInfo::exists(source + screenshot.mid(docs))) << screenshot.toStdString();

    const QStringList opens = LauncherTypes(ReadText(source + QStringLiteral("/desktop/") + launcher));
    const QStringList listed = listing[QStringLiteral("mediatype")].split(QLatin1Char(' '), Qt::SkipEmptyParts);
    ASSERT_FALSE(listed.isEmpty());
    for (const QString& type : listed)
        EXPECT_TRUE(opens.contains(type)) << type.toStdString();
}

}  // namespace
