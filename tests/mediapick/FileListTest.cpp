// The file list: which names the filters admit, its order, and the Up and Dn buttons.
#include "SelectFileFixture.h"

using FileListTest = SelectFileFixture;

TEST_F(FileListTest, NamesAreAdmittedByTheirLastThreeCharactersInNaturalOrderAndByFilterCode)
{
    MakeFiles(kMainFolder, {"song.mp3", "Bravo.MP3", "10.mp3", "2.mp3", "song.Mp3", "notesmp3", "talk.vds"});
    MakeFolder(kMainFolder + "\\folder.mp3");
    MakeFiles(kMainFolder + "\\Codes", {"a.mp3", "b.TXT", "c.htm", "d.VDL", "g"});
    ShowDialog();
    EXPECT_EQ(Rows(), (QStringList{"2.mp3", "10.mp3", "Bravo.MP3", "folder.mp3", "notesmp3", "song.mp3"}));
    const auto filtered = [this](unsigned long filter) {
        m_dialog.FindFileListCtrl(Wide(kMainFolder + "\\Codes\\*.*"), filter);
        QStringList rows = Rows();
        rows.sort();
        return rows;
    };
    EXPECT_EQ(filtered(FILTER_ALL), (QStringList{"a.mp3", "b.TXT", "c.htm", "d.VDL", "g"}));
    EXPECT_EQ(filtered(FILTER_MP3_TXT_VDL), (QStringList{"a.mp3", "b.TXT", "d.VDL"}));
    EXPECT_TRUE(filtered(1009).isEmpty());  // an unknown code
}

TEST_F(FileListTest, UpAndDnSwapTheTappedRowWithItsNeighbourUntilTheFolderChanges)
{
    MakeFiles(kMainFolder, {"a.mp3", "b.mp3", "c.mp3"});
    MakeFiles(kMainFolder + "\\Two", {"x.mp3", "y.mp3"});
    ShowDialog();
    // After a tap beside the rows, Dn has nothing to move.
    TapRow(1);
    TapBelowRows();
    Press(IDC_DOWN);
    EXPECT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
    TapRow(0);
    Press(IDC_UP);
    EXPECT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));
    Press(IDC_DOWN);
    Press(IDC_DOWN);
    Press(IDC_DOWN);
    EXPECT_EQ(Rows(), (QStringList{"b.mp3", "c.mp3", "a.mp3"}));
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
