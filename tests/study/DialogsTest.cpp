#include "BookmarkList.h"
#include "DeleteBookmarkDlg.h"
#include "DialogBuilder.h"
#include "StudyFixture.h"

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

using DialogsTest = StudyFixture;

}  // namespace

// Deleting and searching through these dialogs run end to end in the program's tests;
// here, that Delete All deletes nothing before the learner says Yes.
TEST_F(DialogsTest, DeleteAllAsksFirst)
{
    CBookmarkList list;
    list.Add(BookmarkEntry::Make(QStringLiteral("One"), 10));
    list.Add(BookmarkEntry::Make(QStringLiteral("Two"), 20));
    CDeleteBookmarkDlg dialog;
    dialog.SetBookmarkList(&list);
    m_boxes->ScriptAnswers({IDNO, IDYES});
    QStringList afterNo;
    WhileModal(dialog, [&] {
        auto* deleteAll = GetDlgItemAs<QPushButton>(&dialog, IDC_DELETE_ALL);
        QTest::mouseClick(deleteAll, Qt::LeftButton);
        afterNo = Rows(dialog);
        EXPECT_EQ(list.GetCount(), 2);
        QTest::mouseClick(deleteAll, Qt::LeftButton);
        dialog.reject();
    });
    dialog.DoModal();

    EXPECT_EQ(afterNo, QStringList({"One", "Two"}));
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_TRUE(Rows(dialog).isEmpty());
    ASSERT_EQ(Boxes().size(), 2u);
    EXPECT_EQ(Boxes()[0].text, QStringLiteral("Delete all?"));
    EXPECT_EQ(Boxes()[0].caption, QStringLiteral("Delete all"));
    EXPECT_EQ(Boxes()[0].flags, MB_YESNO);
}
