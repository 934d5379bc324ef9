// SPDX-License-Identifier: GPL-2.0-or-later
#include "Playlist.h"

#include "CodePage.h"
#include "File.h"
#include "FileSystem.h"
#include "LittleEndian.h"

#include <QByteArray>

#include <cstdint>

namespace {

constexpr int kExtensionLength = 4;
constexpr int kShortestPlayablePath = kExtensionLength + 1;
constexpr std::uint16_t kMark = 0xFEFF;
constexpr std::uint16_t kSwappedMark = 0xFFFE;   // read the same way as kMark
constexpr std::uint32_t kMarkSize = 2;
constexpr std::uint32_t kChunkSize = 16384;
constexpr char kLineFeed = '\n';

enum class Encoding { Utf16, CodePage };

bool IsLineSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

// Only spaces, tabs, CR and LF count as white space around a path: other blanks
// may belong to a file name.
QString TrimLine(const QString& line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && IsLineSpace(line[begin]))
        ++begin;
    while (end > begin && IsLineSpace(line[end - 1]))
        --end;
    return line.mid(begin, end - begin);
}

QString DecodeUtf16Line(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(LittleEndian::Read<std::uint16_t>(bytes.constData() + i)));
    return text;
}

// A line is a C string to every system call that will see it, so it ends at its
// first NUL character.
QString DecodeLine(const QByteArray& bytes, Encoding encoding)
{
    QString text = encoding == Encoding::Utf16 ? DecodeUtf16Line(bytes) : CodePage::ToUnicode(bytes);
    const qsizetype nul = text.indexOf(QChar(u'\0'));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

void AddLine(const QByteArray& bytes, Encoding encoding, QStringList* playlist)
{
    const QString path = TrimLine(DecodeLine(bytes, encoding));
    if (path.isEmpty() || !FileSystem::Exists(path))
        return;
    playlist->append(path);
}

// The offset just past the next line feed at or after from, or -1. A UTF-16 line
// feed is the unit 0x000A at an even offset.
qsizetype FindLineEnd(const QByteArray& buffer, qsizetype from, Encoding encoding)
{
    if (encoding == Encoding::CodePage)
    {
        const qsizetype at = buffer.indexOf(kLineFeed, from);
        return at < 0 ? -1 : at + 1;
    }
    for (qsizetype i = from; i + 1 < buffer.size(); i += 2)
    {
        if (buffer[i] == kLineFeed && buffer[i + 1] == '\0')
            return i + 2;
    }
    return -1;
}

// Lines are read whole, whatever their length, and a last line without a line
// feed counts too. A read error ends the list as the end of the file would.
void ReadLines(File& file, Encoding encoding, QStringList* playlist)
{
    const qsizetype unit = encoding == Encoding::Utf16 ? 2 : 1;
    QByteArray pending;
    qsizetype scanned = 0;   // bytes of pending known to hold no line feed
    QByteArray chunk(kChunkSize, '\0');
    for (;;)
    {
        std::uint32_t got = 0;
        if (!file.Read(chunk.data(), kChunkSize, &got) || got == 0)
            break;
        pending.append(chunk.constData(), got);
        qsizetype lineStart = 0;
        qsizetype end;
        while ((end = FindLineEnd(pending, lineStart + scanned, encoding)) >= 0)
        {
            AddLine(pending.mid(lineStart, end - lineStart), encoding, playlist);
            lineStart = end;
            scanned = 0;
        }
        pending.remove(0, lineStart);
        scanned = pending.size() - pending.size() % unit;
    }
    if (!pending.isEmpty())
        AddLine(pending, encoding, playlist);
}

bool ReadPlaylistFile(const QString& path, QStringList* playlist)
{
    File file;
    if (!file.Open(path, File::Access::Read, File::Disposition::OpenExisting))
        return false;
    char mark[kMarkSize];
    std::uint32_t got = 0;
    if (!file.Read(mark, kMarkSize, &got) || got < kMarkSize)
        return false;
    const auto value = LittleEndian::Read<std::uint16_t>(mark);
    if (value == kMark || value == kSwappedMark)
    {
        ReadLines(file, Encoding::Utf16, playlist);
        return true;
    }
    if (file.Seek(0, File::Origin::Begin) != 0)
        return false;
    ReadLines(file, Encoding::CodePage, playlist);
    return true;
}

}  // namespace

bool HasStudyTextInside(const QString& path)
{
    return path.size() >= kShortestPlayablePath &&
           path.right(kExtensionLength).compare(QLatin1String(".vds"), Qt::CaseInsensitive) == 0;
}

int Classify(const QString& path)
{
    if (path.size() < kShortestPlayablePath)
        return MEDIA_NOT_PLAYABLE;
    const QString extension = path.right(kExtensionLength);
    if (extension.compare(QLatin1String(".mp3"), Qt::CaseInsensitive) == 0 || HasStudyTextInside(path))
        return MEDIA_RECORDING;
    if (extension.compare(QLatin1String(".vdl"), Qt::CaseInsensitive) == 0)
        return MEDIA_PLAYLIST;
    return MEDIA_NOT_PLAYABLE;
}

bool FillPlaylist(QStringList* playlist, const QString& path)
{
    switch (Classify(path))
    {
    case MEDIA_RECORDING:
        playlist->append(path);
        return true;
    case MEDIA_PLAYLIST:
        return ReadPlaylistFile(path, playlist);
    default:
        return true;
    }
}
