// SPDX-License-Identifier: GPL-2.0-or-later
#include "BookmarkList.h"
#include "DeleteBookmarkDlg.h"
#include "DialogBuilder.h"
#include "LittleEndian.h"
#include "StudyFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const QString kBookmarkFile = QStringLiteral("\\My documents\\Vellumdeck Data\\Lesson1.vdm");

QByteArray Header(int count)
{
    QByteArray header = QByteArray("B\0M\0H\0E\0A\0D\0E\0R\0\0\0\0\0", 20);
    char field[3];
    LittleEndian::WriteField(field, std::uint32_t(count), 3);
    return header.append(field, 3);
}

QByteArray EntryBytes(const char* label, int position)
{
    BookmarkEntry entry = BookmarkEntry::Make(QString::fromLatin1(label), position);
    QByteArray bytes(reinterpret_cast<const char*>(entry.label), 12);
    LittleEndian::Append(bytes, std::uint16_t(position));
    return bytes;
}

class BookmarkListTest : public StudyFixture
{
protected:
    void SetUp() override
    {
        StudyFixture::SetUp();
        QDir().mkpath(QFileInfo(Host()).absolutePath());
    }

    QString Host() const { return m_root.Host(kBookmarkFile); }

    static CBookmarkList ThreeEntries()
    {
        CBookmarkList list;
        list.Add(BookmarkEntry::Make(QStringLiteral("Unit"), 70));
        list.Add(BookmarkEntry::Make(QStringLiteral("Once "), 0));
        list.Add(BookmarkEntry::Make(QStringLiteral("\uD55C\uAD6D"), 65535));
        return list;
    }
};

using DialogsTest = StudyFixture;

}  // namespace

// The bytes of a saved file are checked end to end in the program's tests; here, labels
// beyond Latin-1 and the last position a file can hold come back as they went.
TEST_F(BookmarkListTest, WideLabelsAndTheLastPositionReadBackAsSaved)
{
    const CBookmarkList saved = ThreeEntries();
    ASSERT_EQ(saved.Save(kBookmarkFile), 3);
    EXPECT_EQ(m_root.ReadFile(kBookmarkFile).size(), 23 + 3 * 14);
    EXPECT_FALSE(QFile::exists(Host() + ".tmp"));
    CBookmarkList loaded;
    ASSERT_EQ(loaded.Load(kBookmarkFile), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(loaded.GetAt(i).position, saved.GetAt(i).position) << i;
        EXPECT_EQ(loaded.GetAt(i).Label(), saved.GetAt(i).Label()) << i;
    }
}

TEST_F(BookmarkListTest, LoadAppendsWhatAnOddOrDamagedFileHolds)
{
    // No header at all, the header less its last count byte, the header and one byte of
    // its entry: nothing is loaded, nothing is told, and the file is left as it is.
    const QByteArray whole = Header(1) + EntryBytes("Unit", 70);
    for (const int size : {0, 22, 24}) {
        ASSERT_TRUE(m_root.WriteFile(kBookmarkFile, whole.left(size)));
        CBookmarkList list;
        EXPECT_EQ(list.Load(kBookmarkFile), 0) << size;
        EXPECT_EQ(list.GetCount(), 0) << size;
        EXPECT_EQ(m_root.ReadFile(kBookmarkFile), whole.left(size)) << size;
    }
    EXPECT_TRUE(Boxes().empty());

    CBookmarkList list;
    list.Add(BookmarkEntry::Make(QStringLiteral("Kept"), 5));
    ASSERT_TRUE(QFile::remove(Host()));
    EXPECT_EQ(list.Load(kBookmarkFile), -1) << "a missing file";
    // Tag bytes are ignored and a duplicate in the file is told, as when added by hand.
    QByteArray bytes = Header(3) + EntryBytes("Unit", 70) + EntryBytes("Again", 70) + EntryBytes("Next", 300);
    bytes[18] = '\x7F';
    bytes[19] = '\x01';
    ASSERT_TRUE(m_root.WriteFile(kBookmarkFile, bytes));
    EXPECT_EQ(list.Load(kBookmarkFile), 3);
    EXPECT_EQ(list.GetAt(2).Label(), QStringLiteral("Next"));
    EXPECT_EQ(list.GetAt(2).position, 300);
    EXPECT_EQ(Boxes().size(), 1u) << "the duplicate is told";

    // A count longer than the file keeps the entries read.
    ASSERT_TRUE(m_root.WriteFile(kBookmarkFile, Header(1000) + EntryBytes("One", 10) + EntryBytes("Two", 20) +
                                                    QByteArray("\x01\x02\x03", 3)));
    CBookmarkList counted;
    EXPECT_EQ(counted.Load(kBookmarkFile), 2);
    EXPECT_EQ(counted.GetAt(1).position, 20);

    // Six letters in the label field and no terminating unit: the label ends with its field.
    ASSERT_TRUE(m_root.WriteFile(kBookmarkFile, Header(1) + QByteArray("A\0B\0C\0D\0E\0F\0\x01\x00", 14)));
    CBookmarkList unterminated;
    ASSERT_EQ(unterminated.Load(kBookmarkFile), 1);
    EXPECT_EQ(unterminated.GetAt(0).Label(), QStringLiteral("ABCDEF"));
}

// A failed save must never cost the bookmarks already stored. A new file that cannot
// even be made (a folder in its place) is the program's end-to-end bookmark test.
TEST_F(BookmarkListTest, FailedSaveKeepsTheOldFileWhole)
{
    EXPECT_EQ(ThreeEntries().Save(QStringLiteral("\\No such folder\\x.vdm")), -1);
    ASSERT_EQ(ThreeEntries().Save(kBookmarkFile), 3);
    const QByteArray before = m_root.ReadFile(kBookmarkFile);
    CBookmarkList changed;
    changed.Add(BookmarkEntry::Make(QStringLiteral("New"), 1));

    // The disk fills up while the new file is written.
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), Host() + ".tmp"));
    EXPECT_EQ(changed.Save(kBookmarkFile), -1);
    EXPECT_EQ(m_root.ReadFile(kBookmarkFile), before);
    EXPECT_FALSE(QFileInfo::exists(Host() + ".tmp"));
    EXPECT_TRUE(QFileInfo::exists(QStringLiteral("/dev/full")));

    EXPECT_EQ(changed.Save(kBookmarkFile), 1);
    EXPECT_EQ(m_root.ReadFile(kBookmarkFile).size(), 37);
}

// Deleting and searching through the bookmark dialogs run end to end in the program's
// tests, Delete All answered Yes among them; here, that a No deletes nothing.
TEST_F(DialogsTest, DeleteAllAsksFirst)
{
    CBookmarkList list;
    list.Add(BookmarkEntry::Make(QStringLiteral("One"), 10));
    list.Add(BookmarkEntry::Make(QStringLiteral("Two"), 20));
    CDeleteBookmarkDlg dialog;
    dialog.SetBookmarkList(&list);
    m_boxes->ScriptAnswers({IDNO});
    int rowsAfterNo = -1;
    QTimer::singleShot(0, &dialog, [&] {   // once the dialog's modal loop runs
        QTest::mouseClick(GetDlgItemAs<QPushButton>(&dialog, IDC_DELETE_ALL), Qt::LeftButton);
        rowsAfterNo = GetDlgItemAs<QListWidget>(&dialog, IDC_BOOKMARK_LIST)->count();
        dialog.reject();
    });
    dialog.DoModal();
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(rowsAfterNo, 2);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].flags, MB_YESNO);
}
