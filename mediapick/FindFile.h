// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Enumerates the entries a search pattern names: the folder part up to the last
// separator, then a name part with the wildcards "*" and "?", matched without regard
// to case as the device's file search does ("*.*" takes every entry, dotted or not).

#include "FileSystem.h"

#include <QString>

#include <vector>

namespace FindFile {

// The matching entries in enumeration order; false when the folder cannot be read.
bool Find(const QString& pattern, std::vector<FileSystem::Entry>* entries);

}  // namespace FindFile
