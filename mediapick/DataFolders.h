// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The study-data folders the dialog browses, the tree roots that stand for them, and
// the few path rules the dialog and its playlist writer share. Paths are device paths
// with backslashes.

#include <QString>

namespace DataFolders {

inline const QString kDataFolderName = QStringLiteral("Vellumdeck Data");
inline const QString kMyDocuments = QStringLiteral("\\My documents");
inline const QString kMainFolder = QStringLiteral("\\My documents\\Vellumdeck Data");

// Card roots as probed: the second candidate for the first card has no leading
// backslash and is resolved from the root.
inline const QString kFirstCardRoot = QStringLiteral("\\Storage Card");
inline const QString kFirstCardFallbackRoot = QStringLiteral("Storage Card1");
inline const QString kSecondCardRoot = QStringLiteral("\\Storage Card2");

// Tree root texts; a card's folder name is its root text without the suffix.
inline const QString kMainTreeRoot = kDataFolderName;
inline const QString kFirstCardTreeRoot = QStringLiteral("Vellumdeck Data_1");
inline const QString kSecondCardTreeRoot = QStringLiteral("Vellumdeck Data_2");

inline const QString kSeparator = QStringLiteral("\\");
inline const QString kAllEntries = QStringLiteral("*.*");
inline const QString kPlaylistExtension = QStringLiteral(".vdl");
inline const QString kTempFolderName = QStringLiteral("VDTemp");

// The UTF-16 text of a string, valid while the string lives unchanged.
inline const char16_t* Wide(const QString& text)
{
    return reinterpret_cast<const char16_t*>(text.utf16());
}

// The data folder on a card: root + "\Vellumdeck Data".
QString CardDataFolder(const QString& cardRoot);

// The folder a tree item stands for, from its item path (root text, then each
// descendant's text, joined by backslashes).
QString FolderOfItemPath(const QString& itemPath, const QString& firstCardRoot, const QString& secondCardRoot);

// Where "Select All" writes the playlist of folder: inside it, named after it.
QString PlaylistPathOf(const QString& folder);

// Everything of a search pattern up to and including its last separator.
QString FolderPart(const QString& pattern);

// A card answers when the platform can tell the free space of its root.
bool CardAnswers(const QString& cardRoot);

}  // namespace DataFolders
