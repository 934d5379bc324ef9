// SPDX-License-Identifier: GPL-2.0-or-later
#include "ApplyStoredSettings.h"
#include "Registry.h"
#include "StudyFixture.h"

#include <QFontMetrics>

namespace {

const QString kKey = QString::fromLatin1(CRegSettings::kKeyPath);

QByteArray ReadRaw(const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS)
        return QByteArray();
    QByteArray bytes(1024, '\0');
    DWORD size = DWORD(bytes.size());
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, QString::fromLatin1(name), &type, reinterpret_cast<BYTE*>(bytes.data()), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? bytes.left(int(size)) : QByteArray();
}

using RegSettingsTest = PaneFixture;

}  // namespace

TEST_F(RegSettingsTest, FirstRunStoresTheDefaultsAndLaterRunsShowWhatIsStored)
{
    ApplyStoredSettings(*m_pane);
    EXPECT_EQ(StoredSettings(), QStringLiteral("Tahoma 15 0 5e0000 ffffff"));
    // Two bytes a character, no terminating zero.
    EXPECT_EQ(ReadRaw(CRegSettings::kFontNameValue), QByteArray("T\0a\0h\0o\0m\0a\0", 12));
    ASSERT_TRUE(m_pane->GetTextFont());
    EXPECT_LE(QFontMetrics(m_pane->font()).height(), 15);
    EXPECT_EQ(m_pane->palette().color(QPalette::Base), QColor(0x00, 0x00, 0x5E));
    EXPECT_EQ(m_pane->palette().color(QPalette::Text), QColor(Qt::white));

    // Stored values win; any weight other than 0 is stored as 1, and only 1 reads as bold.
    CRegSettings settings;
    ASSERT_EQ(settings.SetFontName(QStringLiteral("DejaVu Serif")), 1);
    ASSERT_EQ(settings.SetHeight(22), 1);
    ASSERT_EQ(settings.SetBold(5), 1);
    EXPECT_EQ(settings.QueryNumber(CRegSettings::kBoldValue), 1u);
    ASSERT_EQ(settings.SetBkColor(0), 1);   // black is a colour, not a failure
    ASSERT_EQ(settings.SetTxtColor(0x00FF00), 1);
    ApplyStoredSettings(*m_pane);
    EXPECT_EQ(m_pane->GetTextFont()->faceName, QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(m_pane->GetTextFont()->height, 22);
    EXPECT_EQ(m_pane->GetTextFont()->weight, TextFont::FW_BOLD);
    EXPECT_EQ(m_pane->GetBackgroundColor(), 0u);
    EXPECT_EQ(m_pane->palette().color(QPalette::Text), QColor(0, 0xFF, 0));

    // A 2, as another program may have left it, is not bold.
    ASSERT_EQ(settings.SetNumber(CRegSettings::kBoldValue, 2), 1);
    EXPECT_EQ(settings.GetBold(), 0);
}

TEST_F(RegSettingsTest, UnreadableValuesReadAsSpecifiedButApplyTheirDefaults)
{
    CRegSettings settings;
    ASSERT_EQ(settings.SetFontName(QStringLiteral("DejaVu Sans")), 1);
    // No "Height" and no "TxtColor"; a "BkColor" too long to be a number.
    ASSERT_EQ(settings.SetBytes(CRegSettings::kBkColorValue, QByteArray(8, '\x11')), 1);
    EXPECT_EQ(settings.GetHeight(), -1);
    EXPECT_EQ(settings.GetBkColor(), 0u);

    ApplyStoredSettings(*m_pane);
    EXPECT_EQ(m_pane->GetTextFont()->faceName, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(m_pane->GetTextFont()->height, CRegSettings::kDefaultHeight);
    EXPECT_EQ(m_pane->GetBackgroundColor(), CRegSettings::kDefaultBkColor);
    EXPECT_EQ(m_pane->GetTextColor(), CRegSettings::kDefaultTxtColor);
    EXPECT_EQ(settings.GetHeight(), -1) << "not a first run: nothing was written";

    ASSERT_EQ(settings.SetHeight(0), 1);
    ApplyStoredSettings(*m_pane);
    EXPECT_EQ(m_pane->GetTextFont()->height, CRegSettings::kDefaultHeight);

    // A name of more than 510 bytes is unreadable too.
    ASSERT_EQ(settings.SetFontName(QString(255, QLatin1Char('x'))), 1);
    EXPECT_EQ(settings.GetFontName(), QString(255, QLatin1Char('x')));
    ASSERT_EQ(settings.SetFontName(QString(256, QLatin1Char('x'))), 1);
    EXPECT_EQ(settings.GetFontName(), QStringLiteral("ERROR"));
}

TEST_F(RegSettingsTest, KeyThatCannotBeCreatedStillGivesAReadablePane)
{
    // The registry file would have to live inside a plain file.
    const QString blocker = m_root.Path() + "/blocker";
    ASSERT_TRUE(m_root.WriteFile(blocker, {}));
    Registry::SetFilePath(blocker + "/registry.ini");

    CRegSettings settings;
    EXPECT_EQ(settings.GetFontName(), QStringLiteral("ERROR"));
    EXPECT_EQ(settings.SetHeight(15), 0);
    EXPECT_NE(settings.GetHeight(), 15) << "nothing pretends to have been stored";

    ApplyStoredSettings(*m_pane);
    EXPECT_EQ(m_pane->GetTextFont()->faceName, QStringLiteral("Tahoma"));
    EXPECT_EQ(m_pane->GetBackgroundColor(), CRegSettings::kDefaultBkColor);
}
