// The file list: which names the filters admit, its order, taps on its rows, and the
// Up and Dn buttons.
#include "SelectFileFixture.h"

#include <QPushButton>
#include <QTreeWidget>

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

TEST_F(FileListTest, RecordingsAreAdmittedByTheirLastThreeCharactersExactly)
{
    MakeRecordings(kMainFolder, {"song.mp3", "song.MP3", "song.Mp3", "notesmp3", "talk.vds", "text.txt"});
    MakeFolder(kMainFolder + "\\folder.mp3");
    ShowDialog();
    EXPECT_EQ(Rows(), (QStringList{"folder.mp3", "notesmp3", "song.MP3", "song.mp3"}));
}

TEST_F(FileListTest, EveryFilterCodeAdmitsItsEndings)
{
    MakeRecordings(kMainFolder, {"a.mp3", "b.TXT", "c.htm", "d.VDL", "e.vds", "f.Txt", "g"});
    ShowDialog();
    EXPECT_EQ(RowsFiltered(FILTER_ALL), (QStringList{"a.mp3", "b.TXT", "c.htm", "d.VDL", "e.vds", "f.Txt", "g"}));
    EXPECT_EQ(RowsFiltered(FILTER_MP3_TXT), (QStringList{"a.mp3", "b.TXT"}));
    EXPECT_EQ(RowsFiltered(FILTER_MP3), QStringList{"a.mp3"});
    EXPECT_EQ(RowsFiltered(FILTER_TXT), QStringList{"b.TXT"});
    EXPECT_EQ(RowsFiltered(FILTER_HTM), QStringList{"c.htm"});
    EXPECT_EQ(RowsFiltered(FILTER_MP3_TXT_VDL), (QStringList{"a.mp3", "b.TXT", "d.VDL"}));
    EXPECT_EQ(RowsFiltered(FILTER_MP3_VDS), (QStringList{"a.mp3", "e.vds"}));
    EXPECT_EQ(RowsFiltered(FILTER_VDS), QStringList{"e.vds"});
    EXPECT_TRUE(RowsFiltered(0).isEmpty());
    EXPECT_TRUE(RowsFiltered(1009).isEmpty());
}

TEST_F(FileListTest, RowsStandInAscendingOrderWhateverTheEnumeration)
{
    MakeRecordings(kMainFolder, {"delta.mp3", "Bravo.mp3", "alpha.mp3", "charlie.MP3", "10.mp3", "2.mp3"});
    ShowDialog();
    EXPECT_EQ(Rows(), (QStringList{"10.mp3", "2.mp3", "alpha.mp3", "Bravo.mp3", "charlie.MP3", "delta.mp3"}));
    EXPECT_EQ(List()->headerItem()->text(0), "Name");
    EXPECT_EQ(List()->columnCount(), 1);
}

TEST_F(FileListTest, TapsSetThePathNameAndATapBesideTheRowsLeavesTheFolder)
{
    MakeRecordings(kMainFolder, {"a.mp3", "b.mp3"});
    ShowDialog();
    TapRow(1);
    EXPECT_EQ(m_dialog.GetPathName(), kMainFolder + "\\b.mp3");
    TapBelowRows();
    EXPECT_EQ(m_dialog.GetPathName(), kMainFolder + "\\");
    // With no row tapped, Dn has nothing to move.
    Press(IDC_DOWN);
    EXPECT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3"}));
}

TEST_F(FileListTest, UpAndDnSwapWithTheNeighbourAndTheMovedRowStaysSelected)
{
    MakeRecordings(kMainFolder, {"a.mp3", "b.mp3", "c.mp3"});
    ShowDialog();
    TapRow(0);
    Press(IDC_UP);
    EXPECT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3", "c.mp3"}));

    Press(IDC_DOWN);
    Press(IDC_DOWN);
    EXPECT_EQ(Rows(), (QStringList{"b.mp3", "c.mp3", "a.mp3"}));
    EXPECT_EQ(SelectedRows(), QStringList{"a.mp3"});
    Press(IDC_DOWN);
    EXPECT_EQ(Rows(), (QStringList{"b.mp3", "c.mp3", "a.mp3"}));

    Press(IDC_UP);
    EXPECT_EQ(Rows(), (QStringList{"b.mp3", "a.mp3", "c.mp3"}));
    EXPECT_EQ(SelectedRows(), QStringList{"a.mp3"});
    // Each moved row keeps its own icon.
    EXPECT_FALSE(List()->topLevelItem(1)->icon(0).isNull());
}

TEST_F(FileListTest, AfterAFolderChangeUpAndDnWaitForATap)
{
    MakeRecordings(kMainFolder, {"a.mp3", "b.mp3", "c.mp3", "d.mp3"});
    MakeFolder(kMainFolder + "\\Two");
    MakeRecordings(kMainFolder + "\\Two", {"x.mp3", "y.mp3"});
    ShowDialog();
    TapRow(3);
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
}

TEST_F(FileListTest, ATapOnAnotherFolderRestoresTheSortedOrder)
{
    MakeRecordings(kMainFolder, {"a.mp3", "b.mp3"});
    MakeFolder(kMainFolder + "\\Other");
    ShowDialog();
    TapRow(0);
    Press(IDC_DOWN);
    ASSERT_EQ(Rows(), (QStringList{"b.mp3", "a.mp3"}));
    TapTreeItem({"Vellumdeck Data", "Other"});
    TapTreeItem({"Vellumdeck Data"});
    EXPECT_EQ(Rows(), (QStringList{"a.mp3", "b.mp3"}));
}
