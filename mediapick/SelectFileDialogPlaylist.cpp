// SPDX-License-Identifier: GPL-2.0-or-later
// Select All's playlist writer, the playlist reader, the clean-up of the temporary
// folder, and the conversions between UTF-16 and the device's code page.
#include "SelectFileDialog.h"

#include "CodePage.h"
#include "DataFolders.h"
#include "File.h"
#include "FileSystem.h"
#include "FindFile.h"

#include <QComboBox>
#include <QTreeWidget>

#include <cstring>
#include <memory>
#include <string>

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");
// The new playlist is written beside the old one under this suffix, then renamed over it.
const QString kPartialSuffix = QStringLiteral(".part");
constexpr std::uint32_t kReadChunk = 64 * 1024;
// The device's code pages take at most two bytes for a UTF-16 unit.
constexpr qsizetype kBytesPerUnit = 2;

bool IsLineBreak(char byte)
{
    return byte == '\r' || byte == '\n';
}

// Lines of the content; a run of CR and LF characters separates two lines, so no line
// is empty.
QList<QByteArray> SplitLines(const QByteArray& content)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype at = 0; at <= content.size(); ++at) {
        if (at < content.size() && !IsLineBreak(content[at]))
            continue;
        if (at > start)
            lines.append(content.mid(start, at - start));
        start = at + 1;
    }
    return lines;
}

bool ReadWhole(File& file, QByteArray* content)
{
    content->clear();
    QByteArray chunk(kReadChunk, Qt::Uninitialized);
    for (;;) {
        std::uint32_t got = 0;
        if (!file.Read(chunk.data(), kReadChunk, &got))
            return false;
        if (got == 0)
            return true;
        content->append(chunk.constData(), got);
    }
}

bool WriteAll(File& file, const char* bytes, std::size_t length)
{
    std::uint32_t written = 0;
    return file.Write(bytes, std::uint32_t(length), &written) && written == length;
}

}  // namespace

void CSelectFileDialog::OnCreateList()
{
    // Listing playlists, there is nothing to make one of.
    if (m_typeBox && m_typeBox->currentIndex() == kPlaylistTypeIndex)
        return;
    const QString playlistPath = DataFolders::PlaylistPathOf(m_currentFolder);
    // The dialog ends with the playlist's path even when it could not be written: the
    // player then fails to read it, and the previous playlist, if any, is still whole.
    WritePlaylist(playlistPath);
    m_pathName = playlistPath;
    OnOK();
}

bool CSelectFileDialog::WritePlaylist(const QString& playlistPath)
{
    const QString partialPath = playlistPath + kPartialSuffix;
    File file;
    if (!file.Open(partialPath, File::Access::Write, File::Disposition::CreateAlways))
        return false;
    bool written = true;
    for (int row = 0; written && row < RowCount(); ++row) {
        const QString line = m_currentFolder + DataFolders::kSeparator + RowText(row) + QString::fromLatin1(kLineEnd);
        const std::unique_ptr<char[]> bytes(U2A(DataFolders::Wide(line)));
        written = WriteAll(file, bytes.get(), std::strlen(bytes.get()));
    }
    written = written && file.Sync();
    file.Close();
    if (!written || !FileSystem::Rename(partialPath, playlistPath)) {
        FileSystem::DeleteFile(partialPath);
        return false;
    }
    return true;
}

void CSelectFileDialog::OpenListFile(QString path)
{
    ClearRows();
    File file;
    QByteArray content;
    // A playlist that cannot be opened or read leaves the list empty.
    if (!file.Open(path, File::Access::Read, File::Disposition::OpenExisting) || !ReadWhole(file, &content))
        return;
    int number = 0;
    for (const QByteArray& line : SplitLines(content)) {
        // Read whole, however long: paths here may well exceed the handheld's limit.
        const QString text = QString::fromUtf16(A2U(line.constData()));
        const QString name = text.mid(text.lastIndexOf(DataFolders::kSeparator) + 1);
        SetListControl(name, text, number++);
    }
}

int CSelectFileDialog::DeleteTmp(const char16_t* base)
{
    const QString baseText = base ? QString::fromUtf16(base) : QString();
    const QString tempFolder = baseText + DataFolders::kTempFolderName;
    const QString pattern = tempFolder + DataFolders::kSeparator + DataFolders::kAllEntries;
    const QString folder = DataFolders::FolderPart(pattern);
    std::vector<FileSystem::Entry> entries;
    FindFile::Find(pattern, &entries);
    for (const FileSystem::Entry& entry : entries) {
        // Only a plain folder is passed over; everything else goes as a file.
        if (entry.attributes == FILE_ATTRIBUTE_DIRECTORY)
            continue;
        if (!FileSystem::DeleteFile(folder + entry.name))
            return 0;
    }
    // A folder that still holds a subfolder stays; that is not reported.
    FileSystem::RemoveFolder(tempFolder);
    return 1;
}

char* CSelectFileDialog::U2A(const char16_t* text)
{
    const QString wide = text ? QString::fromUtf16(text) : QString();
    const QByteArray bytes = CodePage::FromUnicode(wide);
    // Room for two bytes a unit as on the device, or more where the code page is
    // UTF-8, so that nothing is cut off.
    const qsizetype size = std::max(kBytesPerUnit * (wide.size() + 1), bytes.size() + 1);
    char* buffer = new char[std::size_t(size)]();
    std::memcpy(buffer, bytes.constData(), std::size_t(bytes.size()));
    return buffer;
}

const char16_t* CSelectFileDialog::A2U(const char* text)
{
    thread_local std::u16string converted;
    converted = text ? CodePage::ToUnicode(QByteArray(text)).toStdU16String() : std::u16string();
    return converted.c_str();
}
