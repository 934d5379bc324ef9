#include "SelectFileFixture.h"

#include "DevicePath.h"
#include "DialogBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>

void SelectFileFixture::SetUp()
{
    CodePage::SetName("CP1252");
    MakeFolder(kMainFolder);
}

void SelectFileFixture::TearDown()
{
    CodePage::SetName(QByteArray());
}

void SelectFileFixture::MakeFolder(const QString& devicePath) const
{
    ASSERT_TRUE(QDir().mkpath(m_root.Host(devicePath))) << devicePath.toStdString();
}

void SelectFileFixture::MakeFile(const QString& devicePath, const QByteArray& bytes) const
{
    ASSERT_TRUE(m_root.WriteFile(devicePath, bytes)) << devicePath.toStdString();
}

QByteArray SelectFileFixture::ReadFile(const QString& devicePath) const
{
    QFile file(m_root.Host(devicePath));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool SelectFileFixture::Exists(const QString& devicePath) const
{
    return QFileInfo::exists(m_root.Host(devicePath));
}

void SelectFileFixture::ShowDialog()
{
    m_dialog.Initialize();
    m_dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dialog));
}

int SelectFileFixture::RunModal(const std::function<void()>& drive)
{
    QTimer::singleShot(0, &m_dialog, [this, drive] {
        drive();
        if (m_dialog.isVisible())
            m_dialog.reject();
    });
    return m_dialog.DoModal();
}

QTreeWidget* SelectFileFixture::Tree() const
{
    return GetDlgItemAs<QTreeWidget>(&m_dialog, IDC_FOLDER_TREE);
}

QTreeWidget* SelectFileFixture::List() const
{
    return GetDlgItemAs<QTreeWidget>(&m_dialog, IDC_FILE_LIST);
}

QPushButton* SelectFileFixture::Button(int id) const
{
    return GetDlgItemAs<QPushButton>(&m_dialog, id);
}

QStringList SelectFileFixture::RootTexts() const
{
    QStringList texts;
    for (int i = 0; i < Tree()->topLevelItemCount(); ++i)
        texts << Tree()->topLevelItem(i)->text(0);
    return texts;
}

QTreeWidgetItem* SelectFileFixture::TreeItem(const QStringList& texts) const
{
    QTreeWidgetItem* found = nullptr;
    for (const QString& text : texts) {
        const int count = found ? found->childCount() : Tree()->topLevelItemCount();
        QTreeWidgetItem* next = nullptr;
        for (int i = 0; i < count && !next; ++i) {
            QTreeWidgetItem* item = found ? found->child(i) : Tree()->topLevelItem(i);
            if (item->text(0) == text)
                next = item;
        }
        if (!next)
            return nullptr;
        found = next;
    }
    return found;
}

QStringList SelectFileFixture::ChildTexts(const QStringList& texts) const
{
    QStringList children;
    if (QTreeWidgetItem* item = TreeItem(texts)) {
        for (int i = 0; i < item->childCount(); ++i)
            children << item->child(i)->text(0);
    }
    children.sort();
    return children;
}

QStringList SelectFileFixture::Rows() const
{
    QStringList rows;
    for (int i = 0; i < List()->topLevelItemCount(); ++i)
        rows << List()->topLevelItem(i)->text(0);
    return rows;
}

QStringList SelectFileFixture::SelectedRows() const
{
    QStringList rows;
    for (QTreeWidgetItem* item : List()->selectedItems())
        rows << item->text(0);
    return rows;
}

void SelectFileFixture::TapTreeItem(const QStringList& texts) const
{
    QTreeWidgetItem* item = TreeItem(texts);
    ASSERT_NE(item, nullptr) << texts.join('|').toStdString();
    for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent())
        parent->setExpanded(true);
    Tree()->scrollToItem(item);
    QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(item).center());
}

void SelectFileFixture::TapRow(int row) const
{
    QTreeWidgetItem* item = List()->topLevelItem(row);
    ASSERT_NE(item, nullptr) << row;
    List()->scrollToItem(item);
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(item).center());
}

void SelectFileFixture::TapBelowRows() const
{
    const QRect area = List()->viewport()->rect();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, QPoint(area.center().x(), area.bottom() - 2));
}

void SelectFileFixture::DoubleTapRow(int row) const
{
    QTreeWidgetItem* item = List()->topLevelItem(row);
    ASSERT_NE(item, nullptr) << row;
    List()->scrollToItem(item);
    QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, List()->visualItemRect(item).center());
}

void SelectFileFixture::Press(int buttonId) const
{
    QPushButton* button = Button(buttonId);
    ASSERT_NE(button, nullptr) << buttonId;
    QTest::mouseClick(button, Qt::LeftButton);
}
