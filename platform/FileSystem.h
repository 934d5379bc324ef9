// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Folders, file status, deletion, renames and free space, on device or host paths.
// On failure the system error is kept for SystemError::Last().

#include "Win32Defs.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace FileSystem {

struct Entry
{
    QString name;          // the name only, no folder
    DWORD attributes = 0;  // FILE_ATTRIBUTE_DIRECTORY 0x10, READONLY 0x01 when not writable,
                           // HIDDEN 0x02 for dot-names, NORMAL 0x80 for a plain file
    std::int64_t size = 0;
};

// The entries of a folder ("." and ".." left out), in the order the system gives them.
// False when the folder cannot be read.
bool List(const QString& folder, std::vector<Entry>* entries);
bool Exists(const QString& path);
bool CreateFolder(const QString& path);
bool RemoveFolder(const QString& path);   // an empty folder
bool DeleteFile(const QString& path);
// Replaces to atomically when both are on one volume.
bool Rename(const QString& from, const QString& to);
// Free bytes on the volume holding path; false when the volume is not mounted.
bool FreeSpace(const QString& path, std::uint64_t* freeBytes);

}  // namespace FileSystem
