// SPDX-License-Identifier: GPL-2.0-or-later
// Study texts and bookmarks as they follow the recording: the ".vds" trailer, the
// companion ".txt", the bookmark menu and its file, search, and what reaches the disk
// when the program closes.

#include "ProgramFixture.h"

#include "DialogBuilder.h"
#include "FileSizeLimit.h"
#include "LittleEndian.h"
#include "PickColour.h"
#include "PlayerMessages.h"
#include "QtMessageBoxPresenter.h"
#include "SettingDlg.h"
#include "WindowMessage.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

const QString kFolder = QStringLiteral("\\My documents\\Vellumdeck Data\\Unit");

// Sixty short numbered lines (none wraps), so the pane scrolls and every line's label
// differs; "river" is on every line but one.
QByteArray LongText()
{
    QByteArray text;
    for (int i = 1; i <= 60; ++i)
        text += QByteArray::number(i).rightJustified(2, '0') + (i == 30 ? " The old mill.\r\n" : " The river.\r\n");
    return text;
}

class StudyTextTest : public ProgramFixture
{
protected:
    QString At(const QString& name) const { return kFolder + QLatin1Char('\\') + name; }
    QByteArray Recording() const { return ReadHostFile(TestDataPath(QStringLiteral("speech.mp3"))); }
    int LineStart(int line) { return View().TextPane().LineIndex(line); }

    // "unit.mp3" beside "unit.txt" (the long text), opened with File Open.
    void OpenUnitWithText()
    {
        UseAudio("null:50");
        ASSERT_TRUE(WriteFile(At("unit.mp3"), Recording()));
        ASSERT_TRUE(WriteFile(At("unit.txt"), LongText()));
        Start();
        FileOpen(At("unit.mp3"));
        ASSERT_EQ(View().CompanionPath(), At("unit.txt"));
    }

    void ScrollToLine(int line)
    {
        CStudyEdit& pane = View().TextPane();
        pane.verticalScrollBar()->setValue(0);
        pane.ScrollToBookmark(BookmarkEntry::Make(QString(), pane.LineIndex(line)));
        ASSERT_EQ(pane.GetFirstVisibleLine(), line);
    }

    // The bookmark file as the format lays it out: tag, count, then label and position.
    static QByteArray BookmarkFile(const QList<QPair<QString, int>>& entries)
    {
        QByteArray bytes("B\0M\0H\0E\0A\0D\0E\0R\0\0\0\0\0", 20);   // the tag, its zero unit, its field's rest
        bytes.append(char(entries.size())).append(2, '\0');   // a three-byte count, below 256 here
        for (const auto& [label, position] : entries) {
            QByteArray field(12, '\0');
            for (int i = 0; i < label.size(); ++i)
                field[2 * i] = char(label.at(i).unicode());
            bytes += field;
            LittleEndian::Append(bytes, std::uint16_t(position));
        }
        return bytes;
    }

    // Runs Search with term typed into the dialog; the position selected.
    int Search(const QString& term)
    {
        WhenDialogOpens([term](QDialog* dialog) {
            GetDlgItemAs<QLineEdit>(dialog, IDC_SEARCH_TEXT)->setText(term);
            QTest::mouseClick(GetDlgItemAs<QPushButton>(dialog, IDOK), Qt::LeftButton);
        });
        EXPECT_TRUE(ChooseMenu(ID_SEARCH));
        return View().TextPane().textCursor().selectionStart();
    }
};

}  // namespace

// The first from the command line (of two arguments, the first is opened), the others
// with File Open: every way in loads the text and makes the panel usable.
TEST_F(StudyTextTest, EachRecordingFindsItsTextAndAVdsShowsOnlyWhatItsTrailerMeasures)
{
    UseAudio("null:50");
    // Ten bytes of text; the bytes before them are the recording's, never shown.
    ASSERT_TRUE(WriteFile(At("upper.VDS"), MakeVds(Recording() + "NOT SHOWN", "Ten bytes!")));
    ASSERT_TRUE(WriteFile(At("broken.vds"), Recording() + QByteArray("\xFF\xFF\xFF\x7F", 4)));   // 2 GB of text
    ASSERT_TRUE(WriteFile(At("mixed.Vds"), MakeVds(Recording(), "Inside the mixed one.")));
    ASSERT_TRUE(WriteFile(At("mixed.txt"), "Beside the mixed one.\r\n"));
    ASSERT_TRUE(WriteFile(At("alone.mp3"), Recording()));
    const auto logoShown = [this] { return View().TextPane().Logo() != nullptr && View().TextPane().Logo()->isVisible(); };
    Start({Host(At("upper.VDS")), Host(At("alone.mp3"))});
    EXPECT_EQ(PaneText(), QStringLiteral("Ten bytes!"));
    EXPECT_EQ(View().CompanionPath(), Host(At("upper.VDS")));
    EXPECT_FALSE(logoShown());
    EXPECT_TRUE(IsMenuItemEnabled(ID_SET_BOOKMARK));
    EXPECT_TRUE(IsMenuItemEnabled(ID_PLAY_PAUSE));
    // A trailer that claims more than the file holds is refused, and the text stays.
    FileOpen(At("broken.vds"));
    EXPECT_EQ(PaneText(), QStringLiteral("Ten bytes!"));

    // The extension's case does not matter: a ".Vds" plays and shows its own text,
    // not the ".txt" that happens to lie beside it.
    FileOpen(At("mixed.Vds"));
    EXPECT_EQ(PaneText(), QStringLiteral("Inside the mixed one."));
    EXPECT_EQ(View().CompanionPath(), At("mixed.Vds"));

    // Without its text a recording shows the logo and still takes bookmarks.
    FileOpen(At("alone.mp3"));
    EXPECT_TRUE(logoShown());
    EXPECT_EQ(View().CompanionPath(), At("alone.txt"));
    EXPECT_TRUE(IsMenuItemEnabled(ID_DEL_BOOKMARK));
}

TEST_F(StudyTextTest, BookmarksAreNumberedJumpToTheirLineAreSavedWhenTheRecordingChangesAndDeletingRenumbers)
{
    OpenUnitWithText();
    ScrollToLine(0);
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    ScrollToLine(10);
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    const auto items = BookmarkItems();
    EXPECT_EQ(items, (QList<QPair<int, QString>>{{ID_BOOKMARK_FIRST, "1)01 Th"}, {ID_BOOKMARK_FIRST + 1, "2)11 Th"}}));
    // The same place again is refused, and no item is added.
    ChooseMenu(ID_SET_BOOKMARK);
    EXPECT_EQ(Told(), QStringList{"Already bookmarked."});
    EXPECT_EQ(BookmarkItems().size(), 2);
    // Nothing is written until the text changes or the program closes.
    EXPECT_FALSE(Exists(At("unit.vdm")));
    const QByteArray saved = BookmarkFile({{"01 Th", LineStart(0)}, {"11 Th", LineStart(10)}});
    ASSERT_TRUE(WriteFile(At("other.vds"), MakeVds(Recording(), "Another text.")));
    FileOpen(At("other.vds"));
    EXPECT_TRUE(BookmarkItems().isEmpty());
    EXPECT_EQ(ReadFile(At("unit.vdm")), saved);
    // Back to the first: its bookmarks return, numbered as before.
    FileOpen(At("unit.mp3"));
    ASSERT_EQ(BookmarkItems(), items);

    // Deleting the second renumbers the rest and rewrites the file.
    ScrollToLine(20);
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    WhenDialogOpens([](QDialog* dialog) {
        GetDlgItemAs<QListWidget>(dialog, IDC_BOOKMARK_LIST)->setCurrentRow(1);
        QTest::mouseClick(GetDlgItemAs<QPushButton>(dialog, IDC_DELETE), Qt::LeftButton);
        dialog->close();
    });
    ASSERT_TRUE(ChooseMenu(ID_DEL_BOOKMARK));
    EXPECT_EQ(BookmarkItems(), (QList<QPair<int, QString>>{{ID_BOOKMARK_FIRST, "1)01 Th"}, {ID_BOOKMARK_FIRST + 1, "2)21 Th"}}));
    EXPECT_EQ(ReadFile(At("unit.vdm")), BookmarkFile({{"01 Th", LineStart(0)}, {"21 Th", LineStart(20)}}));

    // Delete All, answered Yes: no bookmarks, no file, no items.
    WhenDialogOpens([](QDialog* dialog) {
        QTest::mouseClick(GetDlgItemAs<QPushButton>(dialog, IDC_DELETE_ALL), Qt::LeftButton);
        dialog->close();
    });
    ASSERT_TRUE(ChooseMenu(ID_DEL_BOOKMARK));
    EXPECT_TRUE(BookmarkItems().isEmpty());
    EXPECT_FALSE(Exists(At("unit.vdm")));
    EXPECT_EQ(View().NextBookmarkId(), ID_BOOKMARK_FIRST);
    ASSERT_TRUE(ChooseMenu(ID_DEL_BOOKMARK));
    EXPECT_EQ(Told(), (QStringList{"Already bookmarked.", "Delete all?", "No bookmark exists."}));
    EXPECT_EQ(Boxes().back().flags & MB_ICONMASK, MB_ICONEXCLAMATION);
}

TEST_F(StudyTextTest, EveryBookmarkItemReachesItsBookmarkBeyondTheFirstHundred)
{
    OpenUnitWithText();
    CStudyEdit& pane = View().TextPane();
    // More bookmarks than the first 101 ids, at distinct places of the text.
    constexpr int kBookmarks = 110;
    constexpr int kLines = 30;   // lines that can scroll to the top
    CBookmarkList many;
    for (int k = 0; k < kBookmarks; ++k)
        many.Add(BookmarkEntry::Make(QStringLiteral("b") + QString::number(k), pane.LineIndex(k % kLines) + k / kLines));
    ASSERT_EQ(many.Save(Host(At("unit.vdm"))), kBookmarks);
    FileOpen(At("unit.mp3"));   // the text again, with its bookmarks
    const auto items = BookmarkItems();
    ASSERT_EQ(items.size(), kBookmarks);
    const int lastId = ID_BOOKMARK_FIRST + kBookmarks - 1;
    EXPECT_EQ(items.last(), qMakePair(lastId, QStringLiteral("110)b109")));

    ScrollToLine(0);
    ASSERT_TRUE(ChooseMenu(lastId));
    const int line = pane.LineFromChar(many.GetAt(kBookmarks - 1).position);
    EXPECT_GT(line, 0);
    EXPECT_EQ(pane.GetFirstVisibleLine(), line);
}

TEST_F(StudyTextTest, SearchingTheSameTermAgainStepsOnAndANewTermStartsOver)
{
    OpenUnitWithText();
    const QString text = PaneText();
    const int first = Search(QStringLiteral("RIVER"));
    EXPECT_EQ(first, int(text.indexOf(QStringLiteral("river"))));
    const int second = Search(QStringLiteral("RIVER"));
    EXPECT_EQ(second, int(text.indexOf(QStringLiteral("river"), first + 1)));

    EXPECT_EQ(Search(QStringLiteral("Old Mill")), int(text.indexOf(QStringLiteral("old mill"))));
    const int again = Search(QStringLiteral("river"));
    EXPECT_EQ(again, first) << "a new term starts at the top";
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(StudyTextTest, ClosingWhilePlayingSavesTheBookmarksAndStopsThePlayer)
{
    StartPlayingLesson();
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));   // the top line: "Lesson 1: ..."
    const int top = View().TextPane().LineIndex(0);

    Frame().close();
    EXPECT_EQ(ReadFile(Device(QStringLiteral("Lesson 1 - At the cafe.vdm"))), BookmarkFile({{"Lesso", top}}));
    // A notice still on its way must not start the next lesson after the teardown.
    SendMessageW(&View(), WM_PLAYER_STATE, PLAYER_ENDED, 0);
    EXPECT_EQ(View().Controller().GetTitle(), Device(kLesson1));
    EXPECT_EQ(View().CompanionPath(), QString());
    m_app.reset();
}

// A bookmark file that cannot be written (a read-only folder, a full disk): the learner is
// told once, naming the file, and the bookmarks stay for the rest of the run, so that a
// later save, once the file can be written, still stores them.
TEST_F(StudyTextTest, BookmarksThatCannotBeSavedAreKeptForTheRunAndTheLearnerIsToldOnce)
{
    OpenUnitWithText();
    const auto told = [this](const QString& name) {
        return QStringLiteral("The bookmarks could not be saved in\n%1\nThey are kept until Vellumdeck closes.")
            .arg(QDir::toNativeSeparators(Host(At(name))));
    };
    ASSERT_TRUE(WriteFile(At("other.vds"), MakeVds(Recording(), "Another text.")));
    // Where the new file would be written stands a folder: the file cannot be made.
    const QString blocked = Host(At("unit.vdm")) + ".tmp";
    ASSERT_TRUE(QDir().mkpath(blocked));
    ScrollToLine(0);
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    ScrollToLine(10);
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    const auto items = BookmarkItems();

    FileOpen(At("other.vds"));
    ASSERT_EQ(Told(), QStringList{told("unit.vdm")});
    EXPECT_EQ(Boxes()[0].flags, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_FALSE(Exists(At("unit.vdm")));
    // Back at the text, its bookmarks are there; leaving it again tells nothing new.
    FileOpen(At("unit.mp3"));
    EXPECT_EQ(BookmarkItems(), items);
    ScrollToLine(20);
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    const QByteArray all = BookmarkFile({{"01 Th", LineStart(0)}, {"11 Th", LineStart(10)}, {"21 Th", LineStart(20)}});
    FileOpen(At("other.vds"));
    EXPECT_EQ(Boxes().size(), 1u);

    // Del Bookmark on a text of its own whose file cannot be written either.
    ASSERT_TRUE(QDir().mkpath(Host(At("other.vdm")) + ".tmp"));
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    WhenDialogOpens([](QDialog* dialog) { dialog->close(); });
    ASSERT_TRUE(ChooseMenu(ID_DEL_BOOKMARK));
    EXPECT_EQ(Told(), (QStringList{told("unit.vdm"), told("other.vdm")}));

    // Once the file can be written, closing stores what was kept: all three bookmarks.
    ASSERT_TRUE(QDir().rmdir(blocked));
    Frame().close();
    EXPECT_EQ(ReadFile(At("unit.vdm")), all);
    EXPECT_FALSE(Exists(At("other.vdm")));
    EXPECT_EQ(Boxes().size(), 2u);
}

// The disk is full when the program closes: the learner hears of it then.
TEST_F(StudyTextTest, BookmarksThatCannotBeSavedAtTheCloseAreToldOf)
{
    OpenUnitWithText();
    ASSERT_TRUE(ChooseMenu(ID_SET_BOOKMARK));
    {
        FileSizeLimit limit(CBookmarkList::kHeaderSize - 1);
        ASSERT_TRUE(limit.Active());
        Frame().close();
    }
    EXPECT_FALSE(Exists(At("unit.vdm")));
    EXPECT_EQ(Told(), QStringList{QStringLiteral("The bookmarks could not be saved in\n%1\nThey are lost when Vellumdeck closes.")
                                      .arg(QDir::toNativeSeparators(Host(At("unit.vdm"))))});
}

// A study text refused for its size is told of while the program sets itself up, and
// the recording's length arrives meanwhile: it must still be shown.
TEST_F(StudyTextTest, TotalTimeIsShownAfterAStudyTextIsRefusedForItsSize)
{
    SetMessageBoxPresenter(std::make_unique<QtMessageBoxPresenter>());
    UseAudio("null:1");
    const QByteArray text = QByteArray("A line of the study text, again and again.\r\n").repeated(1600);
    ASSERT_GT(text.size(), CStudyEdit::kMaxTextBytes);
    ASSERT_TRUE(WriteFile(At("long.vds"), MakeVds(Recording(), text)));
    QString told;
    WhenDialogOpens([&](QDialog* box) {
        told = static_cast<QMessageBox*>(box)->text();
        // The recording's length comes while the learner reads the message.
        EXPECT_TRUE(WaitFor([&] { return View().Controller().GetTrackLength() > 0; }));
        box->accept();
    });
    Start({Host(At("long.vds"))});
    EXPECT_EQ(told, QStringLiteral("Txt file which is larger than 64KB can not be opened."));
    const QString total = View().GetDlgItemText(IDC_TOTAL_TEXT);
    ASSERT_NE(total, QStringLiteral("Total"));
    // The time text is painted where the total belongs, over the skin.
    const QRect place(CVellumdeckView::kTotalTextAt, QSize(50, 12));
    EXPECT_NE(Drawn(place), Skin(place)) << "the total time " << total.toStdString() << " is not shown";
}

// The font and colours a learner chooses in Setting are the pane's at once, and again
// when the program starts the next time.
TEST_F(StudyTextTest, FontAndColoursChosenInSettingAreThePanesAgainAtTheNextStart)
{
    Start();
    WhenDialogOpens([](QDialog* dialog) {
        auto* setting = dynamic_cast<CSettingDlg*>(dialog);
        if (setting) {
            auto* size = GetDlgItemAs<QLineEdit>(dialog, IDC_FONT_SIZE);
            size->selectAll();
            QTest::keyClicks(size, QStringLiteral("31"));
            QTest::mouseClick(GetDlgItemAs<QCheckBox>(dialog, IDC_BOLD), Qt::LeftButton);
            PickColour(setting->m_bkColourButton, 16);
            PickColour(setting->m_textColourButton, 3);
            QTest::mouseClick(GetDlgItemAs<QPushButton>(dialog, IDOK), Qt::LeftButton);
        }
        if (dialog->isVisible()) {
            ADD_FAILURE() << "the Setting dialog did not take the choice";
            dialog->reject();
        }
    });
    const std::optional<TextFont> before = View().TextPane().GetTextFont();
    const bool boldBefore = before && before->weight == TextFont::FW_BOLD;
    ASSERT_TRUE(ChooseMenu(ID_SETTING));
    const std::optional<TextFont> font = View().TextPane().GetTextFont();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->height, 31);
    EXPECT_EQ(font->weight == TextFont::FW_BOLD, !boldBefore);
    const COLORREF background = View().TextPane().GetBackgroundColor();
    const COLORREF text = View().TextPane().GetTextColor();
    EXPECT_NE(background, text);

    m_app.reset();
    Start();
    const std::optional<TextFont> again = View().TextPane().GetTextFont();
    ASSERT_TRUE(again);
    EXPECT_EQ(again->faceName, font->faceName);
    EXPECT_EQ(again->height, 31);
    EXPECT_EQ(again->weight, font->weight);
    EXPECT_EQ(View().TextPane().GetBackgroundColor(), background);
    EXPECT_EQ(View().TextPane().GetTextColor(), text);
}
