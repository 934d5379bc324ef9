// The learner's own files when they are damaged or cannot be written: bookmark files
// cut short, a settings file that is not INI at all or only partly, and a settings
// write that fails half way. What can be read is used, nothing else is invented, and
// a failed write never costs what was stored before.

#include "ApplyStoredSettings.h"
#include "BookmarkList.h"
#include "FileSizeLimit.h"
#include "Registry.h"
#include "StudyFixture.h"

#include <QDir>
#include <QFileInfo>

#include <csignal>
#include <cstdlib>
#include <functional>

namespace {

const QString kBookmarkFile = QStringLiteral("\\My documents\\Lesson1.vdm");
const QString kLongName = QStringLiteral("A face name long enough to need more room");
// Larger than QSettings' lock file, smaller than a settings file with the defaults.
constexpr rlim_t kWriteLimit = 128;

// Runs save in a child process that lets no file grow past limit bytes, with the
// limit's signal left to its default action: the system kills it in the middle of writing.
void KilledWhileSaving(rlim_t limit, const std::function<void()>& save)
{
    const auto child = [&] {
        rlimit noCore{0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        std::signal(SIGXFSZ, SIG_DFL);
        rlimit narrowed{};
        ::getrlimit(RLIMIT_FSIZE, &narrowed);
        narrowed.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &narrowed);
        save();
        std::_Exit(0);
    };
    EXPECT_EXIT(child(), ::testing::KilledBySignal(SIGXFSZ), "");
}

using BadUserDataTest = PaneFixture;

TEST_F(BadUserDataTest, BookmarkFilesCutShortLoadNothingAndStayAsTheyWere)
{
    const QByteArray whole = QByteArray("B\0M\0H\0E\0A\0D\0E\0R\0\0\0\0\0\x01\0\0", 23) +
                             QByteArray("U\0n\0i\0t\0\0\0\0\0F\0", 14);
    // No header at all; the header less its last count byte; the header and one byte
    // of its one entry.
    for (const int size : {0, 22, 24}) {
        SCOPED_TRACE(size);
        ASSERT_TRUE(m_root.WriteFile(kBookmarkFile, whole.left(size)));
        CBookmarkList list;
        EXPECT_EQ(list.Load(kBookmarkFile), 0);
        EXPECT_EQ(list.GetCount(), 0);
        EXPECT_EQ(ReadHost(m_root.Host(kBookmarkFile)), whole.left(size));
    }
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(BadUserDataTest, DamagedSettingsFileKeepsWhatIsReadableAndGetsNothingInvented)
{
    const auto writeRegistry = [](const QByteArray& bytes) {
        QFile file(Registry::FilePath());
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    };
    // Not INI at all: a first run, which stores the defaults.
    QByteArray garbage;
    for (int i = 0; i < 2048; ++i)
        garbage.append(char((i * 7919 + 13) & 0xFF));
    ASSERT_TRUE(writeRegistry(garbage));
    ApplyStoredSettings(*m_pane);
    EXPECT_EQ(StoredSettings(), QStringLiteral("Tahoma 15 0 5e0000 ffffff"));

    // Damaged lines among readable ones.
    ASSERT_TRUE(writeRegistry("[Software]\n"
                              "Quorvane\\Vellumdeck\\FontName=sz:Courier\n"
                              "\x01\x02\xff no equals sign here\n"
                              "Quorvane\\Vellumdeck\\Height=dword:00000014\n"
                              "[[[\n"
                              "=\n"
                              "[Software]\n"
                              "Quorvane\\Vellumdeck\\BkColor=dword:zz\n"));
    ApplyStoredSettings(*m_pane);
    CRegSettings settings;
    EXPECT_EQ(settings.GetFontName(), QStringLiteral("Courier")) << "a readable name is not replaced by defaults";
    EXPECT_EQ(settings.GetHeight(), 20);
    EXPECT_EQ(settings.GetBkColor(), 0u) << "an unreadable colour reads as 0";

    // Rewriting the file for a new setting keeps them.
    ASSERT_EQ(settings.SetBold(1), 1);
    EXPECT_EQ(settings.GetFontName(), QStringLiteral("Courier"));
    EXPECT_EQ(settings.GetHeight(), 20);
    EXPECT_EQ(settings.GetBold(), 1);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(BadUserDataTest, FailedSettingsWriteLeavesThePreviousFileWhole)
{
    ApplyStoredSettings(*m_pane);   // a first run: the defaults are stored
    const QByteArray before = ReadHost(Registry::FilePath());
    ASSERT_GT(before.size(), qsizetype(kWriteLimit));
    const auto filesBeside = [] {
        return QDir(QFileInfo(Registry::FilePath()).absolutePath()).entryList(QDir::Files | QDir::Hidden);
    };
    const QStringList filesBefore = filesBeside();
    CRegSettings settings;
    {
        // The disk fills up while the new settings file is written.
        FileSizeLimit limit(kWriteLimit);
        ASSERT_TRUE(limit.Active());
        EXPECT_EQ(settings.SetFontName(kLongName), 0);
        EXPECT_EQ(settings.SetHeight(99), 0);
    }
    EXPECT_EQ(ReadHost(Registry::FilePath()), before);
    EXPECT_EQ(filesBeside(), filesBefore) << "no half-written file is left behind";
    EXPECT_EQ(settings.GetFontName(), QStringLiteral("Tahoma"));
    EXPECT_EQ(settings.GetHeight(), CRegSettings::kDefaultHeight);

    // With room again the same write goes through.
    EXPECT_EQ(settings.SetHeight(99), 1);
    EXPECT_EQ(settings.GetHeight(), 99);
}

TEST_F(BadUserDataTest, SaveKilledHalfWayLeavesThePreviousFileWhole)
{
    CBookmarkList bookmarks;
    for (int i = 0; i < 10; ++i)
        bookmarks.Add(BookmarkEntry::Make(QStringLiteral("Old %1").arg(i), i * 10));
    ASSERT_TRUE(m_root.WriteFile(kBookmarkFile, QByteArray()));   // its folder
    ASSERT_EQ(bookmarks.Save(kBookmarkFile), 10);
    const QByteArray bookmarksBefore = ReadHost(m_root.Host(kBookmarkFile));
    ApplyStoredSettings(*m_pane);
    const QByteArray settingsBefore = ReadHost(Registry::FilePath());
    ASSERT_GT(settingsBefore.size(), qsizetype(kWriteLimit));

    for (int i = 10; i < 20; ++i)
        bookmarks.Add(BookmarkEntry::Make(QStringLiteral("New %1").arg(i), i * 10));
    KilledWhileSaving(rlim_t(bookmarksBefore.size()), [&] { bookmarks.Save(kBookmarkFile); });
    KilledWhileSaving(kWriteLimit, [&] { CRegSettings().SetFontName(kLongName); });

    EXPECT_EQ(ReadHost(m_root.Host(kBookmarkFile)), bookmarksBefore);
    EXPECT_EQ(ReadHost(Registry::FilePath()), settingsBefore);
    EXPECT_EQ(CBookmarkList().Load(kBookmarkFile), 10);
    EXPECT_EQ(CRegSettings().GetFontName(), QStringLiteral("Tahoma"));

    // What the killed process left beside the files does not stand in the way of the
    // next save.
    EXPECT_EQ(bookmarks.Save(kBookmarkFile), 20);
    EXPECT_EQ(CRegSettings().SetFontName(QStringLiteral("Courier")), 1);
    EXPECT_EQ(CRegSettings().GetFontName(), QStringLiteral("Courier"));
}

}  // namespace
