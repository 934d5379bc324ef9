// SPDX-License-Identifier: GPL-2.0-or-later
#include "SystemImageList.h"

#include "DevicePath.h"

#include <QFileInfo>

namespace {

// The icon of a path depends only on what kind of entry it is.
QString TypeKey(const QFileInfo& info)
{
    if (info.isDir())
        return QStringLiteral("/");
    return QStringLiteral(".") + info.suffix().toLower();
}

}  // namespace

SystemImageList& SystemImageList::Shared()
{
    // Never destroyed: icons must not outlive the application object at exit.
    static SystemImageList* list = new SystemImageList;
    return *list;
}

int SystemImageList::IndexOf(const QString& path)
{
    const QFileInfo info(DevicePath::ToHost(path));
    const QString key = TypeKey(info);
    const auto found = m_indexOfType.constFind(key);
    if (found != m_indexOfType.constEnd())
        return found.value();
    const int index = int(m_icons.size());
    m_icons.push_back(m_provider.icon(info));
    m_indexOfType.insert(key, index);
    return index;
}

QIcon SystemImageList::Icon(int index) const
{
    if (index < 0 || index >= int(m_icons.size()))
        return QIcon();
    return m_icons[std::size_t(index)];
}
