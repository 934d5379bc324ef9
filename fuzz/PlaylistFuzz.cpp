// SPDX-License-Identifier: GPL-2.0-or-later
// Reads the input as a ".vdl" playlist: the mark test, UTF-16 and 8-bit lines of
// any length, line ends, trimming and the existence check of every line. The 8-bit
// side is read in a single-byte, a multibyte and a variable-length code page in
// turn, as the last input byte chooses. The same byte chooses how device paths
// ("\Storage Card\...") map: as on a learner's desktop, or under a root folder
// (VELLUMDECK_ROOT), here the input's own folder, where "\lesson.vdl" exists.

#include "CodePage.h"
#include "DevicePath.h"
#include "FuzzCheck.h"
#include "FuzzInputFile.h"
#include "Playlist.h"

#include <QByteArray>
#include <QStringList>

#include <cstdint>

namespace {

const char* const kCodePages[] = {"CP1252", "CP949", "UTF-8"};
constexpr std::size_t kCodePageCount = sizeof(kCodePages) / sizeof(kCodePages[0]);

bool IsLineSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// What every entry of a playlist must be: a trimmed, non-empty path that is a C
// string to the system calls that will open it.
bool IsCleanEntry(const QString& entry)
{
    return !entry.isEmpty() && !IsLineSpace(entry.front()) && !IsLineSpace(entry.back()) &&
           !entry.contains(QChar(u'\0'));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInputFile input("lesson.vdl");
    // The program's own data folder ("\Windows") lies beside its binary, which a
    // process without a QCoreApplication cannot tell (Qt warns for every such line).
    static bool dataFolder = (DevicePath::SetDataFolder(input.Folder()), true);
    (void)dataFolder;
    const std::size_t choice = size > 0 ? data[size - 1] : 0;
    CodePage::SetName(QByteArray(kCodePages[choice % kCodePageCount]));
    DevicePath::SetRoot((choice / kCodePageCount) % 2 ? input.Folder() : QString());
    input.Write(data, size);

    QStringList playlist;
    const bool read = FillPlaylist(&playlist, input.Path());
    FuzzCheck(read == (size >= 2), "reading fails exactly for a file shorter than its mark");
    for (const QString& entry : playlist)
        FuzzCheck(IsCleanEntry(entry), "every entry is trimmed, not empty and free of NUL");
    return 0;
}
