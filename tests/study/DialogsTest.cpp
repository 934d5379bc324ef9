#include "BookmarkList.h"
#include "DeleteBookmarkDlg.h"
#include "DialogBuilder.h"
#include "SearchDlg.h"
#include "StudyFixture.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs steps once the modal loop of dialog is running, then lets the test go on.
void WhileModal(QDialog& dialog, std::function<void()> steps)
{
    QTimer::singleShot(0, &dialog, std::move(steps));
}

QStringList Rows(const QDialog& dialog)
{
    QStringList rows;
    auto* list = GetDlgItemAs<QListWidget>(&dialog, IDC_BOOKMARK_LIST);
    for (int i = 0; list && i < list->count(); ++i)
        rows << list->item(i)->text();
    return rows;
}

class DialogsTest : public StudyFixture
{
protected:
    CBookmarkList ThreeBookmarks()
    {
        CBookmarkList list;
        list.Add(BookmarkEntry::Make(QStringLiteral("One"), 10));
        list.Add(BookmarkEntry::Make(QStringLiteral("Two"), 20));
        list.Add(BookmarkEntry::Make(QStringLiteral("Three"), 30));
        return list;
    }
};

}  // namespace

TEST_F(DialogsTest, SearchDialogShowsTheLastTermAndReturnsTheNewOne)
{
    CSearchDlg dialog;
    dialog.m_searchText = QStringLiteral("abc");
    QString shown;
    WhileModal(dialog, [&] {
        auto* edit = GetDlgItemAs<QLineEdit>(&dialog, IDC_SEARCH_TEXT);
        ASSERT_NE(edit, nullptr);
        shown = edit->text();
        edit->setText(QStringLiteral("xyz"));
        QTest::mouseClick(GetDlgItemAs<QPushButton>(&dialog, IDOK), Qt::LeftButton);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(shown, QStringLiteral("abc"));
    EXPECT_EQ(dialog.m_searchText, QStringLiteral("xyz"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Search"));

    WhileModal(dialog, [&] {
        GetDlgItemAs<QLineEdit>(&dialog, IDC_SEARCH_TEXT)->setText(QStringLiteral("dropped"));
        dialog.reject();
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_searchText, QStringLiteral("xyz"));
}

TEST_F(DialogsTest, DeleteRemovesTheSelectedRowAndItsEntry)
{
    CBookmarkList list = ThreeBookmarks();
    CDeleteBookmarkDlg dialog;
    dialog.SetBookmarkList(&list);
    QStringList before;
    WhileModal(dialog, [&] {
        before = Rows(dialog);
        auto* delete_ = GetDlgItemAs<QPushButton>(&dialog, IDC_DELETE);
        QTest::mouseClick(delete_, Qt::LeftButton);   // nothing selected: nothing happens
        GetDlgItemAs<QListWidget>(&dialog, IDC_BOOKMARK_LIST)->setCurrentRow(1);
        QTest::mouseClick(delete_, Qt::LeftButton);
        dialog.reject();
    });
    dialog.DoModal();

    EXPECT_EQ(before, QStringList({"One", "Two", "Three"}));
    EXPECT_EQ(Rows(dialog), QStringList({"One", "Three"}));
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetAt(1).position, 30);
}

TEST_F(DialogsTest, DeleteAllAsksFirst)
{
    CBookmarkList list = ThreeBookmarks();
    CDeleteBookmarkDlg dialog;
    dialog.SetBookmarkList(&list);
    m_boxes->ScriptAnswers({IDNO, IDYES});
    WhileModal(dialog, [&] {
        auto* deleteAll = GetDlgItemAs<QPushButton>(&dialog, IDC_DELETE_ALL);
        QTest::mouseClick(deleteAll, Qt::LeftButton);
        EXPECT_EQ(list.GetCount(), 3);
        QTest::mouseClick(deleteAll, Qt::LeftButton);
        dialog.reject();
    });
    dialog.DoModal();

    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(Rows(dialog).isEmpty());
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0].text, QStringLiteral("Delete all?"));
    EXPECT_EQ(Boxes()[0].caption, QStringLiteral("Delete all"));
    EXPECT_EQ(Boxes()[0].flags, MB_YESNO);
}
