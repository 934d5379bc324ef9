// SPDX-License-Identifier: GPL-2.0-or-later
// The folder tree: which roots the cards give, which folders are shown, and which
// folder a tap on an item makes current.
#include "SelectFileFixture.h"

const QString kMainRoot = "Vellumdeck Data", kFirstCardRoot = "Vellumdeck Data_1", kSecondCardRoot = "Vellumdeck Data_2";

class FolderTreeTest : public SelectFileFixture
{
protected:
    // The folder a tap on the item made current, seen through the path a tap on its first row gives.
    QString FolderAfterTapping(const QStringList& item)
    {
        TapTreeItem(item);
        TapRow(0);
        const QString path = m_dialog.GetPathName();
        return path.left(path.lastIndexOf('\\'));
    }
};

TEST_F(FolderTreeTest, WithoutCardsTheDeviceFolderIsTheOnlyRootAndSomeFoldersAreLeftOut)
{
    // The temporary folder at every depth (other spellings show), read-only and hidden
    // folders, and a link back up the tree is shown but not followed.
    MakeFolder(kMainFolder + "\\VDTemp\\Inside");
    MakeFolder(kMainFolder + "\\vdtemp");
    MakeFolder(kMainFolder + "\\Unit\\Deeper\\VDTemp");
    MakeFolder(kMainFolder + "\\Unit\\Deeper\\Kept");
    MakeFolder(kMainFolder + "\\Locked\\Inner");
    MakeFolder(kMainFolder + "\\.hidden");
    const QString locked = m_root.Host(kMainFolder + "\\Locked");
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup);
    ASSERT_TRUE(QFile::link(m_root.Host(kMainFolder), m_root.Host(kMainFolder + "\\Unit\\Back")));
    ShowDialog();
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(RootTexts(), QStringList{kMainRoot});
    EXPECT_FALSE(TreeItem({kMainRoot})->isExpanded());
    EXPECT_EQ(ChildTexts({kMainRoot}), (QStringList{"Unit", "vdtemp"}));
    EXPECT_EQ(ChildTexts({kMainRoot, "Unit"}), (QStringList{"Back", "Deeper"}));
    EXPECT_EQ(ChildTexts({kMainRoot, "Unit", "Deeper"}), QStringList{"Kept"});
    EXPECT_EQ(TreeItem({kMainRoot, "Unit", "Back"})->childCount(), 0);
}

// The second card's root is its own also without the first, and a card without data
// still gets an empty root.
TEST_F(FolderTreeTest, EachCardGetsItsOwnRootAndATapMapsOntoTheCard)
{
    MakeFile("\\Storage Card2\\Vellumdeck Data\\Lessons\\x.mp3");
    MakeFile(kMainFolder + "\\home.mp3");
    ShowDialog();
    EXPECT_EQ(RootTexts(), (QStringList{kMainRoot, kSecondCardRoot}));
    EXPECT_EQ(FolderAfterTapping({kSecondCardRoot, "Lessons"}), "\\Storage Card2\\Vellumdeck Data\\Lessons");
    EXPECT_EQ(FolderAfterTapping({kMainRoot}), kMainFolder);

    MakeFolder("\\Storage Card");
    ShowDialog();
    EXPECT_EQ(RootTexts(), (QStringList{kMainRoot, kFirstCardRoot, kSecondCardRoot}));
    EXPECT_EQ(TreeItem({kFirstCardRoot})->childCount(), 0);

    MakeFile("\\Storage Card\\Vellumdeck Data\\Unit 1\\Part A\\song.mp3");
    MakeFolder("\\Storage Card\\Vellumdeck Data\\VDTemp");
    // Only the first candidate is taken when both answer.
    MakeFolder("Storage Card1\\Vellumdeck Data\\Elsewhere");
    ShowDialog();
    EXPECT_EQ(ChildTexts({kFirstCardRoot}), QStringList{"Unit 1"});
    EXPECT_EQ(FolderAfterTapping({kFirstCardRoot, "Unit 1", "Part A"}),
              "\\Storage Card\\Vellumdeck Data\\Unit 1\\Part A");
}

// Folders stand in the order a learner counts them, at every depth, whatever order the
// file system gives them in; the recordings of a folder too.
TEST_F(FolderTreeTest, FoldersAndRecordingsStandInNaturalOrder)
{
    for (const QString unit : {"Unit 10", "Unit 2", "Unit 1", "unit 3", "Unit 12", "Unit 21", "Review", "appendix", "Unit 02"})
        MakeFolder(kMainFolder + "\\" + unit);
    for (const QString part : {"Part 11", "Part 9", "Part 1"})
        MakeFolder(kMainFolder + "\\Unit 2\\" + part);
    MakeFiles(kMainFolder + "\\Unit 2",
              {"Lesson 10.mp3", "lesson 9.mp3", "Lesson 1.mp3", "Lesson 100.mp3", "Lesson 2b.mp3", "Lesson 2.mp3"});
    ShowDialog();
    const auto inOrder = [](const QStringList& texts) { return texts.join(" | ").toStdString(); };
    EXPECT_EQ(inOrder(Texts(TreeItem({kMainRoot}))),
              "appendix | Review | Unit 1 | Unit 02 | Unit 2 | unit 3 | Unit 10 | Unit 12 | Unit 21");
    EXPECT_EQ(inOrder(Texts(TreeItem({kMainRoot, "Unit 2"}))), "Part 1 | Part 9 | Part 11");
    TapTreeItem({kMainRoot, "Unit 2"});
    EXPECT_EQ(inOrder(Rows()),
              "Lesson 1.mp3 | Lesson 2.mp3 | Lesson 2b.mp3 | lesson 9.mp3 | Lesson 10.mp3 | Lesson 100.mp3");
}
