// SPDX-License-Identifier: GPL-2.0-or-later
#include "StudyFixture.h"

#include <QTest>

namespace {

const QString kTextFile = QStringLiteral("\\My documents\\Vellumdeck Data\\Lesson1.txt");

class StudyEditTest : public PaneFixture
{
protected:
    QString Selected() const { return m_pane->textCursor().selectedText(); }
    int First() { return m_pane->GetFirstVisibleLine(); }
};

}  // namespace

TEST_F(StudyEditTest, TextOf65535BytesLoadsAndOneOf65536IsRefused)
{
    const QByteArray text = QByteArray("Line 000\r\n").repeated(6554).left(65535);
    ASSERT_TRUE(m_root.WriteFile(kTextFile, text));
    EXPECT_NE(m_pane->LoadTextFile(kTextFile), 0);
    ASSERT_TRUE(m_root.WriteFile(kTextFile, text + "x"));
    EXPECT_EQ(m_pane->LoadTextFile(kTextFile), 0);
    // The message's words are the program's end-to-end test's.
    ASSERT_EQ(Boxes().size(), 1u) << "only the larger text is refused";
    EXPECT_EQ(Boxes()[0].flags & MB_ICONMASK, MB_ICONHAND);
    EXPECT_EQ(m_pane->GetWindowText().size(), 65535) << "the text shown before stays";
}

TEST_F(StudyEditTest, MissingFileKeepsTheTextShownAndAnEmptyOneEmptiesThePane)
{
    ShowText("Old text");
    EXPECT_EQ(m_pane->LoadTextFile(QStringLiteral("\\My documents\\none.txt")), 0);
    EXPECT_EQ(m_pane->GetWindowText(), QStringLiteral("Old text"));
    EXPECT_TRUE(Boxes().empty());

    ASSERT_TRUE(m_root.WriteFile(kTextFile, QByteArray()));
    EXPECT_NE(m_pane->LoadTextFile(kTextFile), 0);
    EXPECT_EQ(m_pane->toPlainText(), QString());
}

TEST_F(StudyEditTest, RepeatedSearchStepsThroughMatchesThenCompletesThenRestarts)
{
    ShowText("ABC and ABC");
    EXPECT_EQ(m_pane->FindText(QStringLiteral("abc"), true), 0);
    EXPECT_EQ(m_pane->FindText(QStringLiteral("abc"), false), 8);
    EXPECT_EQ(m_pane->FindText(QStringLiteral("abc"), false), -1);
    ASSERT_EQ(Told(), QStringList{QStringLiteral("Document search has been completed.")});
    EXPECT_EQ(Boxes()[0].flags & MB_ICONMASK, MB_ICONEXCLAMATION);
    // Back at the top, the match at the very first character is found again.
    EXPECT_EQ(m_pane->FindText(QStringLiteral("abc"), false), 0);
}

TEST_F(StudyEditTest, PositionsAreInCharactersAndCountEveryKindOfLineEnd)
{
    CodePage::SetName("CP949");
    ShowText("\xC7\xD1\xB1\xB9\xBE\xEE\r\nabc");   // three Hangul syllables, then abc
    EXPECT_EQ(m_pane->GetWindowText(), QStringLiteral("\uD55C\uAD6D\uC5B4\r\nabc"));
    EXPECT_EQ(m_pane->FindText(QStringLiteral("abc"), true), 5);
    EXPECT_EQ(Selected(), QStringLiteral("abc"));

    ShowText("a\r\nb\nc\rd");
    EXPECT_EQ(m_pane->GetLineCount(), 4);
    EXPECT_EQ(m_pane->LineIndex(3), 7);
    EXPECT_EQ(m_pane->LineFromChar(2), 0);   // inside "\r\n"
    EXPECT_EQ(m_pane->FindText(QStringLiteral("D"), true), 7);
}

TEST_F(StudyEditTest, CaptureTakesTheTopmostNonEmptyLineInView)
{
    EXPECT_FALSE(m_pane->CaptureBookmark());
    ShowText("\r\n\r\n\r\n");
    EXPECT_FALSE(m_pane->CaptureBookmark());
    ShowText("\r\n\r\n\r\nabc\r\nSecond line");
    std::optional<BookmarkEntry> entry = m_pane->CaptureBookmark();
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->Label(), QStringLiteral("abc"));
    EXPECT_EQ(entry->position, 6);
}

TEST_F(StudyEditTest, BookmarkFindsItsTextAfterTheFontChanges)
{
    // Paragraphs long enough to wrap over several display lines.
    QByteArray words, text;
    for (int w = 0; w < 40; ++w)
        words += " word" + QByteArray::number(w);
    for (int i = 0; i < 30; ++i)
        text += "Paragraph " + QByteArray::number(i) + ":" + words + "\r\n";
    m_pane->SetTextFont(QStringLiteral("DejaVu Sans"), 14, 0);
    ShowText(text);
    const int linesBefore = m_pane->GetLineCount();
    ASSERT_GT(linesBefore, 60);
    for (int i = 0; i < 37; ++i)
        QTest::keyClick(m_pane, Qt::Key_Right);
    const std::optional<BookmarkEntry> entry = m_pane->CaptureBookmark();
    ASSERT_TRUE(entry);
    EXPECT_EQ(m_pane->LineIndex(First()), entry->position);

    m_pane->SetTextFont(QStringLiteral("DejaVu Sans"), 24, 1);
    EXPECT_GT(m_pane->GetLineCount(), linesBefore);
    m_pane->ScrollToBookmark(BookmarkEntry::Make(QStringLiteral("x"), 0));
    EXPECT_EQ(First(), 0);
    m_pane->ScrollToBookmark(*entry);
    const int top = First();
    EXPECT_LE(m_pane->LineIndex(top), entry->position);
    EXPECT_GT(m_pane->LineIndex(top + 1), entry->position);
}
