// SPDX-License-Identifier: GPL-2.0-or-later
#include "BookmarkList.h"

#include "File.h"
#include "FileSystem.h"
#include "LittleEndian.h"
#include "MessageBox.h"

#include <array>

namespace {

constexpr char kAlreadyBookmarked[] = "Already bookmarked.";
constexpr char kMessageCaption[] = "Vellumdeck";
constexpr char16_t kTag[] = u"BMHEADER";
constexpr int kCountOffset = CBookmarkList::kTagSize;
constexpr int kLabelBytes = BookmarkEntry::kLabelUnits * 2;
// The new file is written under this suffix beside the old one, then renamed over it.
constexpr char kSaveSuffix[] = ".tmp";

using Header = std::array<BYTE, CBookmarkList::kHeaderSize>;
using EntryBytes = std::array<BYTE, CBookmarkList::kEntrySize>;

Header MakeHeader(int count)
{
    Header header{};
    for (int i = 0; kTag[i] != 0; ++i)
        LittleEndian::Write<std::uint16_t>(&header[2 * i], kTag[i]);
    LittleEndian::WriteField(&header[kCountOffset], std::uint32_t(count), CBookmarkList::kCountSize);
    return header;
}

int CountOf(const Header& header)
{
    return int(LittleEndian::ReadField(&header[kCountOffset], CBookmarkList::kCountSize));
}

EntryBytes ToBytes(const BookmarkEntry& entry)
{
    EntryBytes bytes{};
    for (int i = 0; i < BookmarkEntry::kLabelUnits; ++i)
        LittleEndian::Write<std::uint16_t>(&bytes[2 * i], entry.label[i]);
    LittleEndian::Write<std::uint16_t>(&bytes[kLabelBytes], std::uint16_t(entry.position));
    return bytes;
}

BookmarkEntry FromBytes(const EntryBytes& bytes)
{
    BookmarkEntry entry;
    for (int i = 0; i < BookmarkEntry::kLabelUnits; ++i)
        entry.label[i] = LittleEndian::Read<std::uint16_t>(&bytes[2 * i]);
    entry.position = LittleEndian::Read<std::uint16_t>(&bytes[kLabelBytes]);
    return entry;
}

bool WriteAll(File& file, const void* data, std::uint32_t size)
{
    std::uint32_t written = 0;
    return file.Write(data, size, &written) && written == size;
}

bool ReadAll(File& file, void* data, std::uint32_t size)
{
    std::uint32_t got = 0;
    return file.Read(data, size, &got) && got == size;
}

}  // namespace

int CBookmarkList::Add(BookmarkEntry entry)
{
    for (const BookmarkEntry& stored : m_entries) {
        if (stored.position == entry.position) {
            MessageBoxW(nullptr, QString::fromLatin1(kAlreadyBookmarked),
                        QString::fromLatin1(kMessageCaption), MB_ICONEXCLAMATION);
            return 0;
        }
    }
    m_entries.push_back(entry);
    return 1;
}

BookmarkEntry CBookmarkList::GetAt(int index) const
{
    if (index < 0 || index >= GetCount())
        return BookmarkEntry{};
    return m_entries[std::size_t(index)];
}

void CBookmarkList::RemoveAt(int index)
{
    if (index < 0 || index >= GetCount())
        return;
    m_entries.erase(m_entries.begin() + index);
}

int CBookmarkList::Save(const QString& path) const
{
    const QString temporary = path + QLatin1String(kSaveSuffix);
    File file;
    if (!file.Open(temporary, File::Access::Write, File::Disposition::CreateAlways))
        return -1;

    const Header header = MakeHeader(GetCount());
    bool written = WriteAll(file, header.data(), kHeaderSize);
    for (const BookmarkEntry& entry : m_entries) {
        if (!written)
            break;
        const EntryBytes bytes = ToBytes(entry);
        written = WriteAll(file, bytes.data(), kEntrySize);
    }
    written = written && file.Sync();
    file.Close();

    if (!written || !FileSystem::Rename(temporary, path)) {
        FileSystem::DeleteFile(temporary);
        return -1;
    }
    return GetCount();
}

int CBookmarkList::Load(const QString& path)
{
    File file;
    if (!file.Open(path, File::Access::Read, File::Disposition::OpenExisting))
        return -1;

    Header header{};
    if (!ReadAll(file, header.data(), kHeaderSize))
        return GetCount();
    const int count = CountOf(header);
    // A count larger than the file holds stops at the end of the file; the entries
    // read up to there are kept.
    for (int i = 0; i < count; ++i) {
        EntryBytes bytes{};
        if (!ReadAll(file, bytes.data(), kEntrySize))
            break;
        Add(FromBytes(bytes));
    }
    return GetCount();
}
