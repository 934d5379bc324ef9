// SPDX-License-Identifier: GPL-2.0-or-later
// Loads the input as a bookmark file (".vdm"), then saves what was loaded and loads
// that again: a loaded list must survive its own file unchanged.

#include "BookmarkList.h"
#include "FuzzCheck.h"
#include "FuzzInputFile.h"

#include <cstdint>
#include <cstring>

namespace {

bool SameEntries(const CBookmarkList& a, const CBookmarkList& b)
{
    if (a.GetCount() != b.GetCount())
        return false;
    for (int i = 0; i < a.GetCount(); ++i) {
        const BookmarkEntry x = a.GetAt(i);
        const BookmarkEntry y = b.GetAt(i);
        if (x.position != y.position || std::memcmp(x.label, y.label, sizeof(x.label)) != 0)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static bool quiet = (QuietMessageBoxes(), true);
    static FuzzInputFile input("Lesson1.vdm");
    (void)quiet;
    input.Write(data, size);

    CBookmarkList loaded;
    const int count = loaded.Load(input.Path());
    const std::size_t entriesInFile =
        size > std::size_t(CBookmarkList::kHeaderSize)
            ? (size - CBookmarkList::kHeaderSize) / CBookmarkList::kEntrySize
            : 0;
    FuzzCheck(count == loaded.GetCount() && std::size_t(count) <= entriesInFile,
              "Load counts the entries it kept, never more than the file holds");

    const QString copy = input.Sibling("Lesson2.vdm");
    FuzzCheck(loaded.Save(copy) == count, "Save writes every entry");
    CBookmarkList reloaded;
    FuzzCheck(reloaded.Load(copy) == count && SameEntries(loaded, reloaded),
              "a saved list loads back the same");
    return 0;
}
