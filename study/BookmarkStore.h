// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Where the bookmark lists of the shown texts go on disk, and what becomes of a list
// whose file cannot be written (a read-only folder, a full disk): it is kept for the
// rest of the run, so that leaving its text loses nothing. Coming back to the text
// brings the kept list back, and every later save of it tries the file again. The
// learner is told once per file, naming it.

#include "BookmarkList.h"

#include <QString>

#include <map>

class CBookmarkStore
{
public:
    // When a save happens: a list kept while the program runs lasts until it closes.
    enum class Moment
    {
        Running,
        Closing,
    };

    // Writes list to file, or deletes the file when the list is empty. False when that
    // failed: the list is then kept, and the learner told (owner: the window the message
    // belongs to) unless told already since the file was last written.
    bool Store(const CBookmarkList& list, const QString& file, void* owner, Moment moment = Moment::Running);
    // Appends what was kept for file, else the entries of the file itself; as
    // CBookmarkList::Load, -1 when there is neither.
    int Load(CBookmarkList& list, const QString& file) const;
    // Tries every kept list again.
    void StoreKept(void* owner, Moment moment);

private:
    static bool Write(const CBookmarkList& list, const QString& hostFile);

    // By the file's host path, so that a device path and a host path of one file meet.
    std::map<QString, CBookmarkList> m_kept;
};
