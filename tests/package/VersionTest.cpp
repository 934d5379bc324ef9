// SPDX-License-Identifier: GPL-2.0-or-later
// One version, the project's: the About box, --version, the manual page and the
// software centres' newest release all say it.

#include "AboutDlg.h"
#include "DialogBuilder.h"
#include "PackageFiles.h"
#include "resource.h"

#include <QLabel>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <string>

namespace {

const std::string kProjectVersion = VD_PROJECT_VERSION;

// The version of the listing's first release, the newest by AppStream's rule.
QString NewestListedRelease(const QString& metainfo)
{
    QXmlStreamReader xml(metainfo);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("release"))
            return xml.attributes().value(QLatin1String("version")).toString();
    }
    return QString();
}

TEST(VersionTest, AboutBoxShowsTheProjectsVersionWhole)
{
    CAboutDlg about;
    const auto* line = GetDlgItemAs<QLabel>(&about, IDC_ABOUT_VERSION);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text().toStdString(), "Vellumdeck Version " + kProjectVersion);
    // On its one line: the label would wrap a longer one out of sight.
    EXPECT_LE(line->fontMetrics().horizontalAdvance(line->text()), line->width());
}

TEST(VersionTest, VersionOptionManPageAndNewestListedReleaseSayTheProjectsVersion)
{
    EXPECT_EQ(ProgramOutput({QStringLiteral("--version")}).toStdString(), "vellumdeck " + kProjectVersion + "\n");

    const QString page = ReadText(QStringLiteral(VD_MAN_PAGE));
    const QRegularExpressionMatch title = QRegularExpression(QStringLiteral(R"re(^\.TH .*"Vellumdeck ([^"]+)")re"),
                                                             QRegularExpression::MultilineOption).match(page);
    ASSERT_TRUE(title.hasMatch());
    EXPECT_EQ(title.captured(1).toStdString(), kProjectVersion);

    EXPECT_EQ(NewestListedRelease(ReadText(QStringLiteral(VD_METAINFO))).toStdString(), kProjectVersion)
        << "a new version needs its <release> first in the metainfo file";
}

}  // namespace
