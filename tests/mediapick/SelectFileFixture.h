// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Shared set-up of the select-file tests: a fresh device root with the main data folder,
// a known code page, and ways to reach and tap the dialog's controls as a user would.

#include "CodePage.h"
#include "DialogBuilder.h"
#include "MediapickResource.h"
#include "SelectFileDialog.h"
#include "TempDeviceRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>

inline const QString kMainFolder = QStringLiteral("\\My documents\\Vellumdeck Data");

inline const char16_t* Wide(const QString& text)
{
    return reinterpret_cast<const char16_t*>(text.utf16());
}

class SelectFileFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CodePage::SetName("CP1252");
        MakeFolder(kMainFolder);
    }
    void TearDown() override { CodePage::SetName(QByteArray()); }

    // Device paths; folders are made with their parents.
    void MakeFolder(const QString& path) const { ASSERT_TRUE(QDir().mkpath(m_root.Host(path))) << path.toStdString(); }
    void MakeFile(const QString& path, const QByteArray& bytes = {}) const
    {
        ASSERT_TRUE(m_root.WriteFile(path, bytes)) << path.toStdString();
    }
    void MakeFiles(const QString& folder, const QStringList& names) const
    {
        for (const QString& name : names)
            MakeFile(folder + "\\" + name);
    }
    QByteArray ReadFile(const QString& devicePath) const { return m_root.ReadFile(devicePath); }
    bool Exists(const QString& devicePath) const { return QFileInfo::exists(m_root.Host(devicePath)); }

    // The dialog filled as at start-up and shown, for tests that need no modal run.
    void ShowDialog()
    {
        m_dialog.Initialize();
        m_dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_dialog));
    }
    // Runs the dialog modally while drive acts on it; a dialog that drive left open is
    // cancelled afterwards. Returns IDOK or IDCANCEL.
    int RunModal(const std::function<void()>& drive)
    {
        QTimer::singleShot(0, &m_dialog, [this, drive] {
            drive();
            if (m_dialog.isVisible())
                m_dialog.reject();
        });
        return m_dialog.DoModal();
    }

    QTreeWidget* Tree() const { return GetDlgItemAs<QTreeWidget>(&m_dialog, IDC_FOLDER_TREE); }
    QTreeWidget* List() const { return GetDlgItemAs<QTreeWidget>(&m_dialog, IDC_FILE_LIST); }

    static QStringList Texts(const QTreeWidgetItem* parent)
    {
        QStringList texts;
        for (int i = 0; parent != nullptr && i < parent->childCount(); ++i)
            texts << parent->child(i)->text(0);
        return texts;
    }
    QStringList RootTexts() const { return Texts(Tree()->invisibleRootItem()); }
    // The item reached by the texts from a root down, or null.
    QTreeWidgetItem* TreeItem(const QStringList& texts) const
    {
        QTreeWidgetItem* item = Tree()->invisibleRootItem();
        for (const QString& text : texts) {
            const int index = Texts(item).indexOf(text);
            if (index < 0)
                return nullptr;
            item = item->child(index);
        }
        return item;
    }
    QStringList ChildTexts(const QStringList& texts) const
    {
        QStringList children = Texts(TreeItem(texts));
        children.sort();
        return children;
    }
    QStringList Rows() const { return Texts(List()->invisibleRootItem()); }

    void TapTreeItem(const QStringList& texts) const
    {
        QTreeWidgetItem* item = TreeItem(texts);
        ASSERT_NE(item, nullptr) << texts.join('|').toStdString();
        for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent())
            parent->setExpanded(true);
        Tree()->scrollToItem(item);
        QTest::mouseClick(Tree()->viewport(), Qt::LeftButton, {}, Tree()->visualItemRect(item).center());
    }
    void TapRow(int row, bool doubleTap = false) const
    {
        QTreeWidgetItem* item = List()->topLevelItem(row);
        ASSERT_NE(item, nullptr) << row;
        List()->scrollToItem(item);
        const QPoint at = List()->visualItemRect(item).center();
        if (doubleTap)
            QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, at);
        else
            QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, at);
    }
    void TapBelowRows() const
    {
        const QRect area = List()->viewport()->rect();
        QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, QPoint(area.center().x(), area.bottom() - 2));
    }
    void Press(int buttonId) const
    {
        auto* button = GetDlgItemAs<QPushButton>(&m_dialog, buttonId);
        ASSERT_NE(button, nullptr) << buttonId;
        QTest::mouseClick(button, Qt::LeftButton);
    }

    TempDeviceRoot m_root;
    CSelectFileDialog m_dialog;
};
