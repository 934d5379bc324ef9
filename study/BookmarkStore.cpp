// SPDX-License-Identifier: GPL-2.0-or-later
#include "BookmarkStore.h"

#include "DevicePath.h"
#include "FileSystem.h"
#include "MessageBox.h"
#include "Win32Defs.h"

#include <QDir>

namespace {

constexpr char kNotSaved[] = "The bookmarks could not be saved in\n%1\n%2";
constexpr char kKeptUntilClose[] = "They are kept until Vellumdeck closes.";
constexpr char kLostAtClose[] = "They are lost when Vellumdeck closes.";
constexpr char kMessageCaption[] = "Vellumdeck";

void Tell(void* owner, const QString& hostFile, CBookmarkStore::Moment moment)
{
    const char* tail = moment == CBookmarkStore::Moment::Closing ? kLostAtClose : kKeptUntilClose;
    MessageBoxW(owner, QString::fromLatin1(kNotSaved).arg(QDir::toNativeSeparators(hostFile), QLatin1String(tail)),
                QString::fromLatin1(kMessageCaption), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

bool CBookmarkStore::Write(const CBookmarkList& list, const QString& hostFile)
{
    if (list.GetCount() > 0)
        return list.Save(hostFile) >= 0;
    // No bookmarks, no file.
    return !FileSystem::Exists(hostFile) || FileSystem::DeleteFile(hostFile);
}

bool CBookmarkStore::Store(const CBookmarkList& list, const QString& file, void* owner, Moment moment)
{
    const QString hostFile = DevicePath::ToHost(file);
    if (Write(list, hostFile)) {
        m_kept.erase(hostFile);
        return true;
    }
    const bool toldAlready = m_kept.count(hostFile) != 0;
    m_kept[hostFile] = list;
    if (!toldAlready)
        Tell(owner, hostFile, moment);
    return false;
}

int CBookmarkStore::Load(CBookmarkList& list, const QString& file) const
{
    const auto kept = m_kept.find(DevicePath::ToHost(file));
    if (kept == m_kept.end())
        return list.Load(file);
    for (int k = 0; k < kept->second.GetCount(); ++k)
        list.Add(kept->second.GetAt(k));
    return list.GetCount();
}

void CBookmarkStore::StoreKept(void* owner, Moment moment)
{
    // Store changes the map; take the files first.
    std::map<QString, CBookmarkList> kept = m_kept;
    for (const auto& [hostFile, list] : kept)
        Store(list, hostFile, owner, moment);
}
