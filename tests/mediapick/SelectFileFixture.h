#pragma once
// Shared set-up of the select-file tests: a fresh device root with the main data folder,
// a known code page, and ways to reach and tap the dialog's controls as a user would.

#include "CodePage.h"
#include "MediapickResource.h"
#include "SelectFileDialog.h"
#include "TempDeviceRoot.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

inline const QString kMainFolder = QStringLiteral("\\My documents\\Vellumdeck Data");

inline const char16_t* Wide(const QString& text)
{
    return reinterpret_cast<const char16_t*>(text.utf16());
}

class SelectFileFixture : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Device paths; folders are made with their parents.
    void MakeFolder(const QString& devicePath) const;
    void MakeFile(const QString& devicePath, const QByteArray& bytes = QByteArray()) const;
    QByteArray ReadFile(const QString& devicePath) const;
    bool Exists(const QString& devicePath) const;

    // The dialog filled as at start-up and shown, for tests that need no modal run.
    void ShowDialog();
    // Runs the dialog modally while drive acts on it; a dialog that drive left open is
    // cancelled afterwards. Returns IDOK or IDCANCEL.
    int RunModal(const std::function<void()>& drive);

    QTreeWidget* Tree() const;
    QTreeWidget* List() const;
    QPushButton* Button(int id) const;

    QStringList RootTexts() const;
    // The item reached by the texts from a root down, or null.
    QTreeWidgetItem* TreeItem(const QStringList& texts) const;
    QStringList ChildTexts(const QStringList& texts) const;
    QStringList Rows() const;
    QStringList SelectedRows() const;

    void TapTreeItem(const QStringList& texts) const;
    void TapRow(int row) const;
    void TapBelowRows() const;
    void DoubleTapRow(int row) const;
    void Press(int buttonId) const;

    TempDeviceRoot m_root;
    CSelectFileDialog m_dialog;
};
