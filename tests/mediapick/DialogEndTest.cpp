// How the dialog ends, and what GetPathName says after each way of ending it.
#include "SelectFileFixture.h"

#include "WindowMessage.h"

#include <QComboBox>

class DialogEndTest : public SelectFileFixture
{
protected:
    void SetUp() override
    {
        SelectFileFixture::SetUp();
        MakeFile(kMainFolder + "\\a.mp3");
        MakeFile(kMainFolder + "\\b.MP3");
        MakeFile(kMainFolder + "\\notesmp3");
        MakeFile("\\Storage Card\\Vellumdeck Data\\Unit 1\\talk.mp3");
    }

    void SendCommand(int id)
    {
        SendMessageW(&m_dialog, WM_COMMAND, MAKEWPARAM(WORD(id), BN_CLICKED), 0);
    }
};

TEST_F(DialogEndTest, DoubleTapOnARecordingEndsWithItsPath)
{
    const int result = RunModal([this] {
        TapTreeItem({"Vellumdeck Data_1", "Unit 1"});
        TapRow(0, true);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_dialog.GetPathName(), "\\Storage Card\\Vellumdeck Data\\Unit 1\\talk.mp3");
}

TEST_F(DialogEndTest, SelectAndDoubleTapEndOnlyOnARecordingName)
{
    bool openWithoutTap = false;
    bool openAfterNotes = false;
    bool openAfterDoubleTap = false;
    const int result = RunModal([&] {
        Press(IDC_SELECT);
        openWithoutTap = m_dialog.isVisible();
        TapRow(Rows().indexOf("notesmp3"));
        Press(IDC_SELECT);
        openAfterNotes = m_dialog.isVisible();
        TapRow(Rows().indexOf("notesmp3"), true);
        openAfterDoubleTap = m_dialog.isVisible();
        TapRow(Rows().indexOf("b.MP3"));
        Press(IDC_SELECT);
    });
    EXPECT_TRUE(openWithoutTap);
    EXPECT_TRUE(openAfterNotes);
    EXPECT_TRUE(openAfterDoubleTap);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(m_dialog.GetPathName(), kMainFolder + "\\b.MP3");
}

TEST_F(DialogEndTest, OkEnterCancelAndEscapeEndWithWhatTheLastTapLeft)
{
    EXPECT_EQ(RunModal([this] { SendCommand(IDOK); }), IDOK);
    EXPECT_TRUE(m_dialog.GetPathName().isEmpty());

    EXPECT_EQ(RunModal([this] {
        TapRow(0);
        TapBelowRows();
        SendCommand(IDOK);
    }),
              IDOK);
    EXPECT_EQ(m_dialog.GetPathName(), kMainFolder + "\\");

    // Enter on the list is the same OK.
    EXPECT_EQ(RunModal([this] {
        TapRow(0);
        List()->setFocus();
        QTest::keyClick(List(), Qt::Key_Return);
    }),
              IDOK);
    EXPECT_EQ(m_dialog.GetPathName(), kMainFolder + "\\a.mp3");

    EXPECT_EQ(RunModal([this] {
        TapRow(1);
        QTest::keyClick(&m_dialog, Qt::Key_Escape);
    }),
              IDCANCEL);
    EXPECT_EQ(m_dialog.GetPathName(), kMainFolder + "\\b.MP3");
}

TEST_F(DialogEndTest, EachRunStartsAfreshWithTheSameTree)
{
    RunModal([this] { TapRow(0); });
    RunModal([] {});
    EXPECT_TRUE(m_dialog.GetPathName().isEmpty());
    EXPECT_EQ(RootTexts(), (QStringList{"Vellumdeck Data", "Vellumdeck Data_1"}));
    EXPECT_EQ(ChildTexts({"Vellumdeck Data_1"}), QStringList{"Unit 1"});
    // Built from the library's own template, with its one file type and folder pictures.
    EXPECT_EQ(m_dialog.windowTitle(), "Select MP3 File");
    auto* typeBox = GetDlgItemAs<QComboBox>(&m_dialog, IDC_TYPE_COMBO);
    ASSERT_EQ(typeBox->count(), 1);
    EXPECT_EQ(typeBox->currentText(), "MP3 files (*.mp3)");
    EXPECT_FALSE(TreeItem({"Vellumdeck Data"})->icon(0).isNull());
}
