// SPDX-License-Identifier: GPL-2.0-or-later
// The folder tree: its roots for the device and the memory cards, its recursive
// fill, and what a tap on one of its items does.
#include "SelectFileDialog.h"

#include "DataFolders.h"
#include "DevicePath.h"
#include "FindFile.h"
#include "MediapickResource.h"
#include "NaturalOrder.h"
#include "ResourceModule.h"

#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QTreeWidget>

#include <algorithm>

namespace {

constexpr unsigned long kFolderYieldsNoEntry = 1;
constexpr unsigned long kCompletePass = 0;
constexpr int kFolderPicture = 0;
constexpr QRgb kTransparentColour = qRgb(255, 255, 255);

// Folders on the device report 0x10, folders on memory cards 0x110; any further bit
// (read-only, hidden, system, archive) keeps a folder out of the tree, as does the
// temporary folder the playlist tools use.
bool IsShownFolder(const FileSystem::Entry& entry)
{
    const bool plainFolder = entry.attributes == FILE_ATTRIBUTE_DIRECTORY
                             || entry.attributes == (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY);
    return plainFolder && entry.name != DataFolders::kTempFolderName;
}

QImage WithTransparentWhite(const QImage& bitmap)
{
    QImage image = bitmap.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if ((image.pixel(x, y) | 0xFF000000u) == kTransparentColour)
                image.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    return image;
}

QString ItemPath(QTreeWidgetItem* item)
{
    QString path = item->text(0);
    for (QTreeWidgetItem* parent = item->parent(); parent; parent = parent->parent())
        path = parent->text(0) + DataFolders::kSeparator + path;
    return path;
}

}  // namespace

void CSelectFileDialog::ClearTree()
{
    m_folderTree->clear();
    m_foldersBeingFilled.clear();
}

void CSelectFileDialog::CreateFolderPictures()
{
    m_folderPictures.clear();
    const QImage bitmap = ResourceModule::Named(QString::fromLatin1(MEDIAPICK_RESOURCE_MODULE)).LoadBitmap(IDB_FOLDER);
    if (!bitmap.isNull()) {
        const QImage pictures = WithTransparentWhite(bitmap);
        for (int x = 0; x + FOLDER_PICTURE_SIZE <= pictures.width(); x += FOLDER_PICTURE_SIZE)
            m_folderPictures.emplace_back(QPixmap::fromImage(pictures.copy(x, 0, FOLDER_PICTURE_SIZE, pictures.height())));
    }
    m_folderTree->setIconSize(QSize(FOLDER_PICTURE_SIZE, FOLDER_PICTURE_SIZE));
}

QTreeWidgetItem* CSelectFileDialog::AppendFolderItem(QTreeWidgetItem* parent, const QString& text)
{
    auto* item = new QTreeWidgetItem(QStringList{text});
    if (!m_folderPictures.empty())
        item->setIcon(0, m_folderPictures[kFolderPicture]);
    if (parent)
        parent->addChild(item);
    else
        m_folderTree->addTopLevelItem(item);
    return item;
}

QTreeWidgetItem* CSelectFileDialog::AppendRoot(const QString& text)
{
    return AppendFolderItem(nullptr, text);
}

unsigned long CSelectFileDialog::FinFileTreeCtrl(const char16_t* folder, QTreeWidgetItem* parent, unsigned long)
{
    if (!m_folderTree)
        return kFolderYieldsNoEntry;
    const QString folderPath = folder ? QString::fromUtf16(folder) : QString();
    const QString realPath = QFileInfo(DevicePath::ToHost(folderPath)).canonicalFilePath();
    if (m_foldersBeingFilled.contains(realPath))
        return kFolderYieldsNoEntry;

    std::vector<FileSystem::Entry> entries;
    if (!FindFile::Find(folderPath + QStringLiteral("*"), &entries) || entries.empty())
        return kFolderYieldsNoEntry;

    // In the order a learner counts them, as the file list stands, not in the file
    // system's order, which on Linux is no order at all.
    std::sort(entries.begin(), entries.end(), [](const FileSystem::Entry& left, const FileSystem::Entry& right) {
        return NaturalOrder::Before(left.name, right.name);
    });
    m_foldersBeingFilled.append(realPath);
    for (const FileSystem::Entry& entry : entries) {
        if (!IsShownFolder(entry))
            continue;
        QTreeWidgetItem* item = AppendFolderItem(parent, entry.name);
        FinFileTreeCtrl(DataFolders::Wide(folderPath + entry.name + DataFolders::kSeparator), item, kTreeFillFlags);
    }
    m_foldersBeingFilled.removeLast();
    return kCompletePass;
}

void CSelectFileDialog::ProbeCards()
{
    if (DataFolders::CardAnswers(DataFolders::kFirstCardRoot))
        AddCardRoot(&m_firstCardRoot, DataFolders::kFirstCardRoot, DataFolders::kFirstCardTreeRoot);
    else if (DataFolders::CardAnswers(DataFolders::kFirstCardFallbackRoot))
        AddCardRoot(&m_firstCardRoot, DataFolders::kFirstCardFallbackRoot, DataFolders::kFirstCardTreeRoot);
    if (DataFolders::CardAnswers(DataFolders::kSecondCardRoot))
        AddCardRoot(&m_secondCardRoot, DataFolders::kSecondCardRoot, DataFolders::kSecondCardTreeRoot);
}

void CSelectFileDialog::AddCardRoot(QString* cardRoot, const QString& probedRoot, const QString& treeRootText)
{
    *cardRoot = probedRoot;
    QTreeWidgetItem* root = AppendRoot(treeRootText);
    FinFileTreeCtrl(DataFolders::Wide(DataFolders::CardDataFolder(probedRoot) + DataFolders::kSeparator), root, kTreeFillFlags);
}

QString CSelectFileDialog::FolderOfItem(QTreeWidgetItem* item) const
{
    return DataFolders::FolderOfItemPath(ItemPath(item), m_firstCardRoot, m_secondCardRoot);
}

void CSelectFileDialog::OnClickFolderTree(QTreeWidgetItem* item)
{
    // The tree reports the item under the tap; a tap beside every item changes nothing.
    if (!item)
        return;
    m_currentFolder = FolderOfItem(item);
    RefillFileList();
}

void CSelectFileDialog::OnDblclkFolderTree(QTreeWidgetItem* item)
{
    OnClickFolderTree(item);
}
