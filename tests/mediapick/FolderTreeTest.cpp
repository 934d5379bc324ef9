// The folder tree: which roots the cards give, which folders are shown, and which
// folder a tap on an item makes current.
#include "SelectFileFixture.h"

#include <QFile>
#include <QTreeWidget>

namespace {

const QString kMainRoot = QStringLiteral("Vellumdeck Data");
const QString kFirstCardRoot = QStringLiteral("Vellumdeck Data_1");
const QString kSecondCardRoot = QStringLiteral("Vellumdeck Data_2");

}  // namespace

class FolderTreeTest : public SelectFileFixture
{
protected:
    // The folder a tap on the item made current, seen through the path a tap on its
    // first row gives.
    QString FolderAfterTapping(const QStringList& item)
    {
        TapTreeItem(item);
        if (Rows().isEmpty())
            return QString();
        TapRow(0);
        const QString path = m_dialog.GetPathName();
        return path.left(path.lastIndexOf('\\'));
    }
};

TEST_F(FolderTreeTest, WithoutCardsOnlyTheDeviceFolderIsARootAndItsRecordingsAreListed)
{
    MakeFolder(kMainFolder + "\\Unit 1");
    MakeFile(kMainFolder + "\\b.mp3");
    MakeFile(kMainFolder + "\\a.MP3");
    MakeFile(kMainFolder + "\\notes.txt");
    ShowDialog();

    EXPECT_EQ(RootTexts(), QStringList{kMainRoot});
    EXPECT_EQ(ChildTexts({kMainRoot}), QStringList{"Unit 1"});
    EXPECT_FALSE(TreeItem({kMainRoot})->isExpanded());
    EXPECT_EQ(Rows(), (QStringList{"a.MP3", "b.mp3"}));
    EXPECT_TRUE(m_dialog.GetPathName().isEmpty());
}

TEST_F(FolderTreeTest, StorageCardBecomesTheFirstCardRootAndADeepTapMapsOntoIt)
{
    MakeFolder("\\Storage Card\\Vellumdeck Data\\Unit 1\\Part A");
    MakeFile("\\Storage Card\\Vellumdeck Data\\Unit 1\\Part A\\song.mp3");
    MakeFile("\\Storage Card\\Vellumdeck Data\\Unit 1\\one.mp3");
    // Only the first candidate is taken when both answer.
    MakeFolder("Storage Card1\\Vellumdeck Data\\Elsewhere");
    ShowDialog();

    EXPECT_EQ(RootTexts(), (QStringList{kMainRoot, kFirstCardRoot}));
    EXPECT_EQ(ChildTexts({kFirstCardRoot}), QStringList{"Unit 1"});
    EXPECT_EQ(FolderAfterTapping({kFirstCardRoot, "Unit 1"}), "\\Storage Card\\Vellumdeck Data\\Unit 1");
    EXPECT_EQ(FolderAfterTapping({kFirstCardRoot, "Unit 1", "Part A"}),
              "\\Storage Card\\Vellumdeck Data\\Unit 1\\Part A");
    EXPECT_EQ(Rows(), QStringList{"song.mp3"});
}

TEST_F(FolderTreeTest, OnlyStorageCard1GivesPathsWithoutALeadingBackslash)
{
    MakeFolder("Storage Card1\\Vellumdeck Data\\Unit 1");
    MakeFile("Storage Card1\\Vellumdeck Data\\top.mp3");
    MakeFile("Storage Card1\\Vellumdeck Data\\Unit 1\\song.mp3");
    ShowDialog();

    EXPECT_EQ(RootTexts(), (QStringList{kMainRoot, kFirstCardRoot}));
    EXPECT_EQ(FolderAfterTapping({kFirstCardRoot}), "Storage Card1\\Vellumdeck Data");
    TapTreeItem({kFirstCardRoot, "Unit 1"});
    TapRow(0);
    EXPECT_EQ(m_dialog.GetPathName(), "Storage Card1\\Vellumdeck Data\\Unit 1\\song.mp3");
}

TEST_F(FolderTreeTest, CardWithoutADataFolderStillGetsAnEmptyRoot)
{
    MakeFolder("\\Storage Card");
    MakeFolder("\\Storage Card2");
    ShowDialog();
    EXPECT_EQ(RootTexts(), (QStringList{kMainRoot, kFirstCardRoot, kSecondCardRoot}));
    EXPECT_EQ(TreeItem({kFirstCardRoot})->childCount(), 0);
}

TEST_F(FolderTreeTest, SecondCardGetsItsOwnRootWithoutTheFirst)
{
    MakeFolder("\\Storage Card2\\Vellumdeck Data\\Lessons");
    MakeFile("\\Storage Card2\\Vellumdeck Data\\Lessons\\x.mp3");
    ShowDialog();
    EXPECT_EQ(RootTexts(), (QStringList{kMainRoot, kSecondCardRoot}));
    EXPECT_EQ(FolderAfterTapping({kSecondCardRoot, "Lessons"}), "\\Storage Card2\\Vellumdeck Data\\Lessons");
    // A tap on the device's root goes back to the device.
    MakeFile(kMainFolder + "\\home.mp3");
    EXPECT_EQ(FolderAfterTapping({kMainRoot}), kMainFolder);
}

TEST_F(FolderTreeTest, TemporaryFolderIsHiddenAtEveryDepthButOtherSpellingsShow)
{
    MakeFolder(kMainFolder + "\\VDTemp\\Inside");
    MakeFolder(kMainFolder + "\\vdtemp");
    MakeFolder(kMainFolder + "\\Unit\\VDTemp");
    MakeFolder(kMainFolder + "\\Unit\\Deeper\\VDTemp");
    MakeFolder(kMainFolder + "\\Unit\\Deeper\\Kept");
    MakeFolder("\\Storage Card\\Vellumdeck Data\\VDTemp");
    ShowDialog();

    EXPECT_EQ(ChildTexts({kMainRoot}), (QStringList{"Unit", "vdtemp"}));
    EXPECT_EQ(ChildTexts({kMainRoot, "Unit"}), QStringList{"Deeper"});
    EXPECT_EQ(ChildTexts({kMainRoot, "Unit", "Deeper"}), QStringList{"Kept"});
    EXPECT_EQ(TreeItem({kFirstCardRoot})->childCount(), 0);
}

TEST_F(FolderTreeTest, ReadOnlyAndHiddenFoldersAreLeftOut)
{
    MakeFolder(kMainFolder + "\\Locked\\Inner");
    MakeFolder(kMainFolder + "\\.hidden");
    MakeFolder(kMainFolder + "\\Open");
    QFile::setPermissions(m_root.Host(kMainFolder + "\\Locked"),
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    ShowDialog();
    EXPECT_EQ(ChildTexts({kMainRoot}), QStringList{"Open"});
    QFile::setPermissions(m_root.Host(kMainFolder + "\\Locked"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(FolderTreeTest, LinkBackUpTheTreeIsShownButNotFollowedForever)
{
    MakeFolder(kMainFolder + "\\Unit");
    ASSERT_TRUE(QFile::link(m_root.Host(kMainFolder), m_root.Host(kMainFolder + "\\Unit\\Back")));
    ShowDialog();
    EXPECT_EQ(ChildTexts({kMainRoot, "Unit"}), QStringList{"Back"});
    EXPECT_EQ(TreeItem({kMainRoot, "Unit", "Back"})->childCount(), 0);
}
