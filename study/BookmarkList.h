// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The bookmarks of one study text, in the order they were added, and their file
// (extension "vdm", beside the study text).
//
// File layout, little-endian, nothing between records:
//   0   18 bytes  tag "BMHEADER" in UTF-16 with one zero unit
//   18   2 bytes  rest of the tag field: written as zero, ignored on reading
//   20   3 bytes  entry count (its low three bytes)
//   23  14 bytes per entry: the 12-byte label, then the position's low 16 bits

#include "BookmarkEntry.h"

#include <QString>

#include <cstdint>
#include <vector>

class CBookmarkList
{
public:
    static constexpr int kHeaderSize = 23;
    static constexpr int kTagSize = 20;
    static constexpr int kCountSize = 3;
    static constexpr int kEntrySize = 14;

    virtual ~CBookmarkList() = default;

    // 1 when appended; 0 when an entry with the same position exists, after telling
    // the user "Already bookmarked.".
    int Add(BookmarkEntry entry);
    BookmarkEntry GetAt(int index) const;   // an empty entry for an index out of range
    int GetCount() const { return int(m_entries.size()); }
    void RemoveAt(int index);
    void RemoveAll() { m_entries.clear(); }

    // The number of entries written, or -1 when the file could not be written. The
    // new file is written beside the old one and then put in its place, so a failed
    // save leaves the bookmarks stored before untouched.
    int Save(const QString& path) const;
    // Appends the file's entries (a duplicate position is refused as by Add); the
    // number of entries afterwards, or -1 when the file cannot be opened.
    int Load(const QString& path);

private:
    std::vector<BookmarkEntry> m_entries;
};
