// SPDX-License-Identifier: GPL-2.0-or-later
// A save killed half way (the disk filling up with the signal left to its default):
// the bookmark and settings files stay as they were, and the next save goes through.
// Damaged files and failed writes that the program survives are the bookmark list's,
// the registry's and the Setting command's tests.

#include "ApplyStoredSettings.h"
#include "BookmarkList.h"
#include "Registry.h"
#include "StudyFixture.h"

#include <csignal>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>

namespace {

const QString kBookmarkFile = QStringLiteral("\\My documents\\Lesson1.vdm");
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

TEST_F(BadUserDataTest, SaveKilledHalfWayLeavesThePreviousFileWhole)
{
    CBookmarkList bookmarks;
    for (int i = 0; i < 10; ++i)
        bookmarks.Add(BookmarkEntry::Make(QStringLiteral("Old %1").arg(i), i * 10));
    ASSERT_TRUE(m_root.WriteFile(kBookmarkFile, QByteArray()));   // its folder
    ASSERT_EQ(bookmarks.Save(kBookmarkFile), 10);
    const QByteArray bookmarksBefore = m_root.ReadFile(kBookmarkFile);
    ApplyStoredSettings(*m_pane);
    const QByteArray settingsBefore = m_root.ReadFile(Registry::FilePath());
    ASSERT_GT(settingsBefore.size(), qsizetype(kWriteLimit));

    for (int i = 10; i < 20; ++i)
        bookmarks.Add(BookmarkEntry::Make(QStringLiteral("New %1").arg(i), i * 10));
    KilledWhileSaving(rlim_t(bookmarksBefore.size()), [&] { bookmarks.Save(kBookmarkFile); });
    KilledWhileSaving(kWriteLimit, [] { CRegSettings().SetFontName(QStringLiteral("A face name long enough")); });
    EXPECT_EQ(m_root.ReadFile(kBookmarkFile), bookmarksBefore);
    EXPECT_EQ(m_root.ReadFile(Registry::FilePath()), settingsBefore);

    // What the killed process left beside the files does not stand in the way of the
    // next save.
    EXPECT_EQ(bookmarks.Save(kBookmarkFile), 20);
    EXPECT_EQ(CRegSettings().SetFontName(QStringLiteral("Courier")), 1);
    EXPECT_EQ(CRegSettings().GetFontName(), QStringLiteral("Courier"));
}

}  // namespace
