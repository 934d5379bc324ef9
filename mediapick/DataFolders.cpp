// SPDX-License-Identifier: GPL-2.0-or-later
#include "DataFolders.h"

#include "FileSystem.h"

#include <algorithm>

namespace DataFolders {

QString CardDataFolder(const QString& cardRoot)
{
    return cardRoot + kSeparator + kDataFolderName;
}

namespace {

// The folder for an item path that begins with a card's root text, or an empty
// string when it does not.
QString CardFolderOf(const QString& itemPath, const QString& treeRoot, const QString& cardRoot)
{
    if (!itemPath.startsWith(treeRoot))
        return QString();
    // The rest is empty for the root itself and starts with a backslash below it.
    return CardDataFolder(cardRoot) + itemPath.mid(treeRoot.size());
}

}  // namespace

QString FolderOfItemPath(const QString& itemPath, const QString& firstCardRoot, const QString& secondCardRoot)
{
    const QString onFirstCard = CardFolderOf(itemPath, kFirstCardTreeRoot, firstCardRoot);
    if (!onFirstCard.isEmpty())
        return onFirstCard;
    const QString onSecondCard = CardFolderOf(itemPath, kSecondCardTreeRoot, secondCardRoot);
    if (!onSecondCard.isEmpty())
        return onSecondCard;
    return kMyDocuments + kSeparator + itemPath;
}

QString PlaylistPathOf(const QString& folder)
{
    const QString leaf = folder.mid(folder.lastIndexOf(kSeparator) + 1);
    return folder + kSeparator + leaf + kPlaylistExtension;
}

QString FolderPart(const QString& pattern)
{
    // Host paths given by a caller use slashes; device paths use backslashes.
    const qsizetype last = std::max(pattern.lastIndexOf(QLatin1Char('\\')), pattern.lastIndexOf(QLatin1Char('/')));
    return pattern.left(last + 1);
}

bool CardAnswers(const QString& cardRoot)
{
    std::uint64_t freeBytes = 0;
    return FileSystem::FreeSpace(cardRoot, &freeBytes);
}

}  // namespace DataFolders
