// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileSystem.h"

#include "DevicePath.h"
#include "SystemError.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {

constexpr mode_t kNewFolderMode = 0777;   // narrowed by the user's umask
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

QByteArray HostName(const QString& path)
{
    return QFile::encodeName(DevicePath::ToHost(path));
}

// The attribute word of one existing object. A file is read-only when this user
// cannot write it, or when nobody may (so that a privileged user still sees the mark).
DWORD AttributesOf(const QByteArray& host, const QString& name, const struct stat& status)
{
    DWORD attributes = 0;
    if (S_ISDIR(status.st_mode))
        attributes |= FILE_ATTRIBUTE_DIRECTORY;
    if ((status.st_mode & kAnyWriteBit) == 0 || ::access(host.constData(), W_OK) != 0)
        attributes |= FILE_ATTRIBUTE_READONLY;
    if (name.startsWith(QLatin1Char('.')))
        attributes |= FILE_ATTRIBUTE_HIDDEN;
    if (attributes == 0)
        attributes = FILE_ATTRIBUTE_NORMAL;
    return attributes;
}

bool Succeeded(int result)
{
    if (result != 0) {
        SystemError::SetLast(errno);
        return false;
    }
    return true;
}

struct DirCloser
{
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

namespace FileSystem {

bool List(const QString& folder, std::vector<Entry>* entries)
{
    if (!entries) {
        SystemError::SetLast(EINVAL);
        return false;
    }
    entries->clear();
    const QByteArray host = HostName(folder);
    std::unique_ptr<DIR, DirCloser> dir(::opendir(host.constData()));
    if (!dir) {
        SystemError::SetLast(errno);
        return false;
    }
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(dir.get());
        if (!item) {
            if (errno != 0) {
                SystemError::SetLast(errno);
                return false;
            }
            break;
        }
        const QByteArray rawName(item->d_name);
        if (rawName == "." || rawName == "..")
            continue;
        const QByteArray full = host + '/' + rawName;
        struct stat status {};
        // An entry that vanished or a dangling link cannot be opened: leave it out.
        if (::stat(full.constData(), &status) != 0)
            continue;
        Entry entry;
        entry.name = QFile::decodeName(rawName);
        entry.attributes = AttributesOf(full, entry.name, status);
        entry.size = S_ISDIR(status.st_mode) ? 0 : static_cast<std::int64_t>(status.st_size);
        entries->push_back(std::move(entry));
    }
    return true;
}

bool Exists(const QString& path)
{
    struct stat status {};
    return Succeeded(::stat(HostName(path).constData(), &status));
}

bool CreateFolder(const QString& path)
{
    return Succeeded(::mkdir(HostName(path).constData(), kNewFolderMode));
}

bool RemoveFolder(const QString& path)
{
    return Succeeded(::rmdir(HostName(path).constData()));
}

bool DeleteFile(const QString& path)
{
    return Succeeded(::unlink(HostName(path).constData()));
}

bool Rename(const QString& from, const QString& to)
{
    return Succeeded(::rename(HostName(from).constData(), HostName(to).constData()));
}

bool FreeSpace(const QString& path, std::uint64_t* freeBytes)
{
    struct statvfs volume {};
    if (!Succeeded(::statvfs(HostName(path).constData(), &volume)))
        return false;
    if (freeBytes)
        *freeBytes = static_cast<std::uint64_t>(volume.f_bavail) * volume.f_frsize;
    return true;
}

}  // namespace FileSystem
