// SPDX-License-Identifier: GPL-2.0-or-later
// Select All's playlist, the playlist reader, the temporary folder's clean-up and the
// code-page conversions.
#include "SelectFileFixture.h"

#include <memory>

const QString kCardFolder = "\\Storage Card\\Vellumdeck Data", kCardPlaylist = kCardFolder + "\\Vellumdeck Data.vdl";

class SelectAllTest : public SelectFileFixture
{
protected:
    int SelectAllIn(const QStringList& treeItem, const std::function<void()>& arrange = {})
    {
        return RunModal([&] {
            TapTreeItem(treeItem);
            if (arrange)
                arrange();
            Press(IDC_SELECT_ALL);
        });
    }
};

// A ".vds" is a recording like any ".mp3".
TEST_F(SelectAllTest, WritesTheRowsInTheirMovedOrderAsCodePageLinesEndedByCrLf)
{
    MakeFiles(kCardFolder, {"a.mp3", "b\u00e9.VDS"});
    const int result = SelectAllIn({"Vellumdeck Data_1"}, [this] {
        TapRow(0);
        Press(IDC_DOWN);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_dialog.GetPathName(), kCardPlaylist);
    EXPECT_EQ(ReadFile(kCardPlaylist), QByteArray("\\Storage Card\\Vellumdeck Data\\b\xE9.VDS\r\n"
                                                  "\\Storage Card\\Vellumdeck Data\\a.mp3\r\n"));
    EXPECT_FALSE(Exists(kCardPlaylist + ".part"));

    // The next Select All replaces it; an empty list writes an empty file.
    QDir card(m_root.Host(kCardFolder), QStringLiteral("*.mp3;*.VDS"));
    for (const QString& name : card.entryList(QDir::Files))
        ASSERT_TRUE(card.remove(name));
    EXPECT_EQ(SelectAllIn({"Vellumdeck Data_1"}), IDOK);
    EXPECT_TRUE(Exists(kCardPlaylist));
    EXPECT_TRUE(ReadFile(kCardPlaylist).isEmpty());
}

TEST_F(SelectAllTest, FailedWriteStillEndsWithThePathButKeepsThePreviousPlaylistWhole)
{
    MakeFile(kCardFolder + "\\a.mp3");
    MakeFile(kCardPlaylist, "previous\r\n");
    // Something that is not a file stands where the new playlist would be written.
    MakeFolder(kCardPlaylist + ".part");
    EXPECT_EQ(SelectAllIn({"Vellumdeck Data_1"}), IDOK);
    EXPECT_EQ(m_dialog.GetPathName(), kCardPlaylist);
    EXPECT_EQ(ReadFile(kCardPlaylist), QByteArray("previous\r\n"));
}

using OpenListFileTest = SelectFileFixture;

// Any line ending, blank lines skipped, and a line longer than the handheld's path limit read whole.
TEST_F(OpenListFileTest, EachLineBecomesARowNamedByItsLastComponentAndAMissingFileGivesNone)
{
    const QString longName = QString(300, 'n') + ".mp3";
    MakeFile(kMainFolder + "\\list.vdl", "\r\n\\My documents\\b.mp3\r\n\r\n\n\rfirst\\a.mp3\n\\x\\caf\xE9.mp3");
    MakeFile(kMainFolder + "\\long.vdl", ("\\long\\" + longName + "\r\nshort.mp3\r\n").toLatin1());
    ShowDialog();
    m_dialog.OpenListFile(kMainFolder + "\\list.vdl");
    EXPECT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3", "caf\u00e9.mp3"}));
    m_dialog.OpenListFile(kMainFolder + "\\long.vdl");
    EXPECT_EQ(Rows(), (QStringList{longName, "short.mp3"}));
    m_dialog.OpenListFile(kMainFolder + "\\none.vdl");
    EXPECT_TRUE(Rows().isEmpty());
}

using DeleteTmpTest = SelectFileFixture;

TEST_F(DeleteTmpTest, FilesAndThenTheFolderAreRemovedUnlessOneCannotGo)
{
    const QString base = kMainFolder + "\\", temp = base + "VDTemp";
    MakeFiles(temp, {"one.mp3", ".hidden"});
    EXPECT_EQ(m_dialog.DeleteTmp(Wide(base)), 1);
    EXPECT_FALSE(Exists(temp));
    // Nothing left to clean is no failure either.
    EXPECT_EQ(m_dialog.DeleteTmp(Wide(base)), 1);
    // A plain subfolder keeps the folder, but every file goes.
    MakeFile(temp + "\\one.mp3");
    MakeFile(temp + "\\Sub\\inner.mp3");
    EXPECT_EQ(m_dialog.DeleteTmp(Wide(base)), 1);
    EXPECT_FALSE(Exists(temp + "\\one.mp3"));
    EXPECT_TRUE(Exists(temp + "\\Sub\\inner.mp3"));
    // A hidden folder is not a plain one, so it is taken for a file and cannot go.
    MakeFolder(temp + "\\.cache");
    EXPECT_EQ(m_dialog.DeleteTmp(Wide(base)), 0);
    EXPECT_TRUE(Exists(temp));
}

TEST(CodePageConversionTest, U2AKeepsEveryByteOfAWideCodePage)
{
    CodePage::SetName("UTF-8");
    CSelectFileDialog dialog;
    // Three bytes a character: more than the handheld's two-a-unit buffer would hold.
    const QString text = QStringLiteral("\u65e5\u672c\u8a9e\u65e5\u672c\u8a9e");
    const std::unique_ptr<char[]> bytes(dialog.U2A(Wide(text)));
    EXPECT_EQ(QByteArray(bytes.get()), text.toUtf8());
    CodePage::SetName("CP1252");
    const std::unique_ptr<char[]> latin(dialog.U2A(u"caf\u00e9 \u65e5"));
    EXPECT_EQ(QByteArray(latin.get()), QByteArray("caf\xE9 ?"));
    CodePage::SetName(QByteArray());
}
