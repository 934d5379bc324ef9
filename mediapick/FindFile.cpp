// SPDX-License-Identifier: GPL-2.0-or-later
#include "FindFile.h"

#include "DataFolders.h"

#include <QRegularExpression>

namespace FindFile {

namespace {

const QString kEveryName = QStringLiteral("*");

QRegularExpression NameMatcher(const QString& namePart)
{
    const QString wildcard = namePart == DataFolders::kAllEntries ? kEveryName : namePart;
    // An entry name holds no separator, so the path rules of the conversion never apply.
    return QRegularExpression(QRegularExpression::wildcardToRegularExpression(wildcard),
                              QRegularExpression::CaseInsensitiveOption);
}

}  // namespace

bool Find(const QString& pattern, std::vector<FileSystem::Entry>* entries)
{
    const QString folder = DataFolders::FolderPart(pattern);
    if (!FileSystem::List(folder, entries))
        return false;
    const QString namePart = pattern.mid(folder.size());
    if (namePart.isEmpty() || namePart == kEveryName || namePart == DataFolders::kAllEntries)
        return true;
    const QRegularExpression matcher = NameMatcher(namePart);
    std::erase_if(*entries, [&matcher](const FileSystem::Entry& entry) { return !matcher.match(entry.name).hasMatch(); });
    return true;
}

}  // namespace FindFile
