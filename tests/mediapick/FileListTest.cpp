// SPDX-License-Identifier: GPL-2.0-or-later
// The file list: which names the filters admit, its order, and the Up and Dn buttons.
#include "SelectFileFixture.h"

#include <QComboBox>

using FileListTest = SelectFileFixture;

TEST_F(FileListTest, NamesAreAdmittedByTheirLastThreeCharactersInNaturalOrderAndByFilterCode)
{
    MakeFiles(kMainFolder, {"song.mp3", "Bravo.MP3", "10.mp3", "2.mp3", "song.Mp3", "notesmp3", "talk.vds"});
    MakeFolder(kMainFolder + "\\folder.mp3");
    MakeFiles(kMainFolder + "\\Codes", {"a.mp3", "b.TXT", "c.htm", "d.VDL", "g"});
    ShowDialog();
    EXPECT_EQ(Rows(), (QStringList{"2.mp3", "10.mp3", "Bravo.MP3", "folder.mp3", "notesmp3", "song.mp3", "talk.vds"}));
    const auto filtered = [this](unsigned long filter) {
        m_dialog.FindFileListCtrl(Wide(kMainFolder + "\\Codes\\*.*"), filter);
        QStringList rows = Rows();
        rows.sort();
        return rows;
    };
    EXPECT_EQ(filtered(FILTER_ALL), (QStringList{"a.mp3", "b.TXT", "c.htm", "d.VDL", "g"}));
    EXPECT_EQ(filtered(FILTER_MP3_TXT_VDL), (QStringList{"a.mp3", "b.TXT", "d.VDL"}));
    EXPECT_EQ(filtered(FILTER_VDL), (QStringList{"d.VDL"}));
    EXPECT_TRUE(filtered(1099).isEmpty());  // an unknown code
}

TEST_F(FileListTest, UpAndDnSwapTheTappedRowWithItsNeighbourUntilTheFolderChanges)
{
    MakeFiles(kMainFolder, {"a.mp3", "b.mp3", "c.mp3"});
    MakeFiles(kMainFolder + "\\Two", {"x.mp3", "y.mp3"});
    ShowDialog();
    // After a tap beside the rows, Dn has nothing to move; the top row goes no higher.
    TapRow(1);
    TapBelowRows();
    Press(IDC_DOWN);
    TapRow(0);
    Press(IDC_UP);
    EXPECT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
    // Down to the bottom and past it, then one up.
    Press(IDC_DOWN);
    Press(IDC_DOWN);
    Press(IDC_DOWN);
    Press(IDC_UP);
    EXPECT_EQ(Rows(), (QStringList{"b.mp3", "a.mp3", "c.mp3"}));
    ASSERT_EQ(List()->selectedItems().size(), 1);
    EXPECT_EQ(List()->selectedItems().at(0)->text(0), "a.mp3");
    EXPECT_FALSE(List()->topLevelItem(1)->icon(0).isNull());  // the moved row keeps its icon
    // In another folder nothing is tapped yet, and the path name still names the row tapped before.
    TapTreeItem({"Vellumdeck Data", "Two"});
    Press(IDC_UP);
    Press(IDC_DOWN);
    EXPECT_EQ(Rows(), (QStringList{"x.mp3", "y.mp3"}));
    EXPECT_EQ(m_dialog.GetPathName(), kMainFolder + "\\a.mp3");
    TapRow(1);
    Press(IDC_UP);
    EXPECT_EQ(Rows(), (QStringList{"y.mp3", "x.mp3"}));
    // Coming back, the first folder is read in sorted order again.
    TapTreeItem({"Vellumdeck Data"});
    EXPECT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
}

// A lesson folder as the sample lesson ships it: a ".vds" (a recording with its study text
// inside), an ".mp3" with its ".txt", and the lesson's playlist. The recordings are listed
// together; the playlist is one type further down the type box, and is chosen like a
// recording, but not written by Select All. What Select All writes is SelectAllTest's.
TEST_F(FileListTest, RecordingsWithTheirTextInsideStandBesideMp3sAndPlaylistsHaveATypeOfTheirOwn)
{
    const QString lesson = kMainFolder + "\\Sample lesson";
    MakeFiles(lesson, {"Lesson 2 - At the station.mp3", "Lesson 2 - At the station.txt", "Lesson 1 - At the cafe.vds",
                       "Lesson 10.VDS", "Sample lesson.vdl", "notes.Vds"});
    QStringList recordings, playlists;
    QList<bool> selectAllEnabled;
    const int result = RunModal([&] {
        auto* box = GetDlgItemAs<QComboBox>(&m_dialog, IDC_TYPE_COMBO);
        TapTreeItem({"Vellumdeck Data", "Sample lesson"});
        recordings = Rows();
        selectAllEnabled << GetDlgItemAs<QPushButton>(&m_dialog, IDC_SELECT_ALL)->isEnabled();
        box->setCurrentIndex(1);
        emit box->activated(1);
        playlists = Rows();
        selectAllEnabled << GetDlgItemAs<QPushButton>(&m_dialog, IDC_SELECT_ALL)->isEnabled();
        Press(IDC_SELECT_ALL);   // a playlist of playlists is not written
        TapRow(0);
        Press(IDC_SELECT);
    });
    EXPECT_EQ(recordings, (QStringList{"Lesson 1 - At the cafe.vds", "Lesson 2 - At the station.mp3", "Lesson 10.VDS"}));
    EXPECT_EQ(playlists, QStringList{"Sample lesson.vdl"});
    EXPECT_EQ(selectAllEnabled, QList<bool>({true, false}));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_dialog.GetPathName(), lesson + "\\Sample lesson.vdl");
    EXPECT_FALSE(Exists(lesson + "\\Sample lesson.vdl.part"));
    EXPECT_TRUE(ReadFile(lesson + "\\Sample lesson.vdl").isEmpty()) << "the lesson's playlist was written over";
}
