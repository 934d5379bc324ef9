// SPDX-License-Identifier: GPL-2.0-or-later
// How the dialog ends, and what GetPathName says after each way of ending it.
#include "SelectFileFixture.h"

#include "WindowMessage.h"

class DialogEndTest : public SelectFileFixture
{
protected:
    void SetUp() override
    {
        SelectFileFixture::SetUp();
        MakeFiles(kMainFolder, {"a.mp3", "b.MP3", "notesmp3"});
        MakeFile("\\Storage Card\\Vellumdeck Data\\Unit 1\\talk.mp3");
    }
};

TEST_F(DialogEndTest, OkEnterCancelEscapeAndDoubleTapEndWithWhatTheLastTapLeftAndEachRunStartsAfresh)
{
    const auto ok = [this] { SendMessageW(&m_dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); };
    const struct
    {
        const char* way;
        std::function<void()> drive;
        int result;
        QString path;
    } cases[] = {
        {"OK after a tap beside the rows", [&] { TapRow(0); TapBelowRows(); ok(); }, IDOK, kMainFolder + "\\"},
        {"Enter on the list",
         [&] { TapRow(0); List()->setFocus(); QTest::keyClick(List(), Qt::Key_Return); }, IDOK, kMainFolder + "\\a.mp3"},
        {"Escape", [&] { TapRow(1); QTest::keyClick(&m_dialog, Qt::Key_Escape); }, IDCANCEL, kMainFolder + "\\b.MP3"},
        {"double tap on a recording", [&] { TapTreeItem({"Vellumdeck Data_1", "Unit 1"}); TapRow(0, true); }, IDOK,
         "\\Storage Card\\Vellumdeck Data\\Unit 1\\talk.mp3"},
        // Each run starts afresh: nothing of the runs before is left tapped.
        {"OK with nothing tapped", ok, IDOK, ""},
    };
    for (const auto& end : cases) {
        SCOPED_TRACE(end.way);
        EXPECT_EQ(RunModal(end.drive), end.result);
        EXPECT_EQ(m_dialog.GetPathName(), end.path);
    }
    // ...and fills the same tree again, not a second copy of it.
    EXPECT_EQ(RootTexts(), (QStringList{"Vellumdeck Data", "Vellumdeck Data_1"}));
    EXPECT_EQ(ChildTexts({"Vellumdeck Data_1"}), QStringList{"Unit 1"});
}

TEST_F(DialogEndTest, SelectAndDoubleTapEndOnlyOnARecordingName)
{
    QList<bool> open;
    const int result = RunModal([&] {
        Press(IDC_SELECT);
        open << m_dialog.isVisible();
        TapRow(Rows().indexOf("notesmp3"));
        Press(IDC_SELECT);
        open << m_dialog.isVisible();
        TapRow(Rows().indexOf("notesmp3"), true);
        open << m_dialog.isVisible();
        TapRow(Rows().indexOf("b.MP3"));
        Press(IDC_SELECT);
    });
    EXPECT_EQ(open, QList<bool>({true, true, true}));
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_dialog.GetPathName(), kMainFolder + "\\b.MP3");
}
