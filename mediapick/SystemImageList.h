// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The process's one list of small file-type icons, taken from the desktop's icon
// provider. A path gets the index of its type's icon; the list only grows, so an
// index stays valid for the life of the process and dialogs share it without owning it.

#include <QFileIconProvider>
#include <QHash>
#include <QIcon>
#include <QString>

#include <vector>

class SystemImageList
{
public:
    static constexpr int kIconSize = 16;

    static SystemImageList& Shared();

    // The index of the icon for a device or host path; the path need not exist.
    int IndexOf(const QString& path);
    // A null icon for an index the list does not hold.
    QIcon Icon(int index) const;

private:
    QFileIconProvider m_provider;
    std::vector<QIcon> m_icons;
    QHash<QString, int> m_indexOfType;
};
