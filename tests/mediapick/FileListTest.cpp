// The file list: which names the filters admit, its order, and the Up and Dn buttons.
#include "SelectFileFixture.h"

class FileListTest : public SelectFileFixture
{
protected:
    void MakeRecordings(const QString& folder, const QStringList& names) const
    {
        for (const QString& name : names)
            MakeFile(folder + "\\" + name);
    }

    QStringList RowsFiltered(unsigned long filter)
    {
        m_dialog.FindFileListCtrl(Wide(kMainFolder + "\\*.*"), filter);
        QStringList rows = Rows();
        rows.sort();
        return rows;
    }
};

TEST_F(FileListTest, RecordingsAreAdmittedByTheirLastThreeCharactersInAscendingOrder)
{
    MakeRecordings(kMainFolder, {"song.mp3", "Bravo.MP3", "10.mp3", "2.mp3", "song.Mp3", "notesmp3", "talk.vds"});
    MakeFolder(kMainFolder + "\\folder.mp3");
    ShowDialog();
    EXPECT_EQ(Rows(), (QStringList{"10.mp3", "2.mp3", "Bravo.MP3", "folder.mp3", "notesmp3", "song.mp3"}));
}

TEST_F(FileListTest, FilterCodesAdmitTheirEndingsAndAnUnknownCodeNothing)
{
    MakeRecordings(kMainFolder, {"a.mp3", "b.TXT", "c.htm", "d.VDL", "g"});
    ShowDialog();
    EXPECT_EQ(RowsFiltered(FILTER_ALL), (QStringList{"a.mp3", "b.TXT", "c.htm", "d.VDL", "g"}));
    EXPECT_EQ(RowsFiltered(FILTER_MP3_TXT_VDL), (QStringList{"a.mp3", "b.TXT", "d.VDL"}));
    EXPECT_TRUE(RowsFiltered(1009).isEmpty());
}

TEST_F(FileListTest, UpAndDnSwapWithTheNeighbourAndTheMovedRowStaysSelected)
{
    MakeRecordings(kMainFolder, {"a.mp3", "b.mp3", "c.mp3"});
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
    // Each moved row keeps its own icon.
    EXPECT_FALSE(List()->topLevelItem(1)->icon(0).isNull());
}

TEST_F(FileListTest, AfterAFolderChangeTheOrderIsSortedAndUpAndDnWaitForATap)
{
    MakeRecordings(kMainFolder, {"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
    MakeRecordings(kMainFolder + "\\Two", {"x.mp3", "y.mp3"});
    ShowDialog();
    TapRow(3);
    Press(IDC_UP);
    ASSERT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3", "d.mp3", "c.mp3"}));
    TapTreeItem({"Vellumdeck Data", "Two"});
    ASSERT_EQ(Rows(), (QStringList{"x.mp3", "y.mp3"}));
    Press(IDC_UP);
    Press(IDC_DOWN);
    EXPECT_EQ(Rows(), (QStringList{"x.mp3", "y.mp3"}));
    // The path name still names the row tapped before the folder changed.
    EXPECT_EQ(m_dialog.GetPathName(), kMainFolder + "\\d.mp3");

    TapRow(1);
    Press(IDC_UP);
    EXPECT_EQ(Rows(), (QStringList{"y.mp3", "x.mp3"}));
    TapTreeItem({"Vellumdeck Data"});
    EXPECT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3", "c.mp3", "d.mp3"}));
}
