// SPDX-License-Identifier: GPL-2.0-or-later
// The file list: its column and icons, its fill through a filter code, taps on its
// rows, Select, and the Up and Dn buttons that set the order of a playlist.
#include "SelectFileDialog.h"

#include "DataFolders.h"
#include "FindFile.h"
#include "MediapickResource.h"
#include "NaturalOrder.h"
#include "SystemImageList.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTreeWidget>

#include <algorithm>

namespace {

const QString kNameColumn = QStringLiteral("Name");
constexpr int kNameColumnWidth = 200;
constexpr qsizetype kEndingLength = 3;
// What Select ends the dialog on: a recording, or a playlist to play as one.
const QStringList kChoosableExtensions = {QStringLiteral(".mp3"), QStringLiteral(".MP3"), QStringLiteral(".vds"),
                                          QStringLiteral(".VDS"), QStringLiteral(".vdl"), QStringLiteral(".VDL")};
constexpr qsizetype kExtensionLength = 4;

// The name endings a filter code admits, compared exactly (no test for the dot).
QStringList AdmittedEndings(unsigned long filter)
{
    switch (filter) {
    case FILTER_MP3_TXT: return {"mp3", "txt", "MP3", "TXT"};
    case FILTER_MP3: return {"mp3", "MP3"};
    case FILTER_TXT: return {"txt", "TXT"};
    case FILTER_HTM: return {"htm", "HTM"};
    case FILTER_MP3_TXT_VDL: return {"mp3", "txt", "MP3", "TXT", "vdl", "VDL"};
    case FILTER_MP3_VDS: return {"mp3", "MP3", "vds", "VDS"};
    case FILTER_VDS: return {"vds", "VDS"};
    case FILTER_VDL: return {"vdl", "VDL"};
    default: return {};
    }
}

bool FilterAdmits(unsigned long filter, const QString& name)
{
    if (filter == FILTER_ALL)
        return true;
    // A name shorter than an ending is never admitted.
    return name.size() >= kEndingLength && AdmittedEndings(filter).contains(name.right(kEndingLength));
}

}  // namespace

void CSelectFileDialog::InitlistColtrol()
{
    if (!m_fileList)
        return;
    m_fileIcons = &SystemImageList::Shared();
    m_fileList->setIconSize(QSize(SystemImageList::kIconSize, SystemImageList::kIconSize));
    ClearRows();
    m_fileList->setColumnCount(1);
    m_fileList->setHeaderLabels({kNameColumn});
    m_fileList->headerItem()->setTextAlignment(0, Qt::AlignLeft | Qt::AlignVCenter);
    m_fileList->header()->resizeSection(0, kNameColumnWidth);
}

unsigned long CSelectFileDialog::FindFileListCtrl(const char16_t* pattern, unsigned long filter)
{
    ClearRows();
    const QString patternText = pattern ? QString::fromUtf16(pattern) : QString();
    const QString folder = DataFolders::FolderPart(patternText);
    std::vector<FileSystem::Entry> entries;
    if (!FindFile::Find(patternText, &entries))
        return 0;
    // Rows are numbered by every enumerated entry, listed or not.
    int number = 0;
    for (const FileSystem::Entry& entry : entries) {
        if (FilterAdmits(filter, entry.name))
            SetListControl(entry.name, folder + entry.name, number);
        ++number;
    }
    return 0;
}

void CSelectFileDialog::SetListControl(QString name, QString path, int index)
{
    if (!m_fileList)
        return;
    auto* item = new QTreeWidgetItem(QStringList{name});
    if (m_fileIcons)
        item->setIcon(0, m_fileIcons->Icon(GetSystemImageIndex(path)));
    // A sorted list puts the row by its text, whatever index it was given.
    const int row = m_listSorted ? SortedRow(name) : std::clamp(index, 0, RowCount());
    m_fileList->insertTopLevelItem(row, item);
}

int CSelectFileDialog::GetSystemImageIndex(QString path)
{
    return SystemImageList::Shared().IndexOf(path);
}

int CSelectFileDialog::RowCount() const
{
    return m_fileList ? m_fileList->topLevelItemCount() : 0;
}

QString CSelectFileDialog::RowText(int row) const
{
    if (row < 0 || row >= RowCount())
        return QString();
    return m_fileList->topLevelItem(row)->text(0);
}

int CSelectFileDialog::SortedRow(const QString& text) const
{
    // The rows of one fill are in order, so the place is found by halving.
    int low = 0;
    int high = RowCount();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (NaturalOrder::Before(text, RowText(middle)))
            high = middle;
        else
            low = middle + 1;
    }
    return low;
}

void CSelectFileDialog::ClearRows()
{
    if (m_fileList)
        m_fileList->clear();
}

void CSelectFileDialog::SetRow(int row, const QString& text)
{
    QTreeWidgetItem* item = m_fileList->topLevelItem(row);
    item->setText(0, text);
    const QString path = m_currentFolder + DataFolders::kSeparator + text;
    item->setIcon(0, m_fileIcons ? m_fileIcons->Icon(GetSystemImageIndex(path)) : QIcon());
}

void CSelectFileDialog::RefillFileList()
{
    FindFileListCtrl(DataFolders::Wide(m_currentFolder + DataFolders::kSeparator + DataFolders::kAllEntries),
                     FilterOfType(m_typeBox != nullptr ? m_typeBox->currentIndex() : kMp3TypeIndex));
}

void CSelectFileDialog::OnClickFileList(int row)
{
    m_currentIndex = row;
    m_pathName = m_currentFolder + DataFolders::kSeparator + RowText(row);
}

void CSelectFileDialog::OnDblclkFileList(int row)
{
    m_pathName = m_currentFolder + DataFolders::kSeparator + RowText(row);
    OnPlayMp3();
}

void CSelectFileDialog::OnPlayMp3()
{
    if (kChoosableExtensions.contains(m_pathName.right(kExtensionLength)))
        OnOK();
}

void CSelectFileDialog::OnUp()
{
    const int row = m_currentIndex;
    if (row >= 1 && row < RowCount())
        MoveCurrentRow(row - 1);
}

void CSelectFileDialog::OnDown()
{
    const int row = m_currentIndex;
    if (row >= 0 && row + 1 < RowCount())
        MoveCurrentRow(row + 1);
}

// Swaps the current row with row to; the list keeps that order until it is refilled,
// and the moved row stays selected and in view.
void CSelectFileDialog::MoveCurrentRow(int to)
{
    const int from = m_currentIndex;
    const QString movedText = RowText(from);
    const QString otherText = RowText(to);
    SetRow(to, movedText);
    SetRow(from, otherText);
    m_currentIndex = to;
    QTreeWidgetItem* moved = m_fileList->topLevelItem(to);
    m_fileList->setCurrentItem(moved);
    m_fileList->scrollToItem(moved);
    DoDataExchange();
}
