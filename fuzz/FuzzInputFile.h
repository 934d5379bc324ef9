// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The file a fuzz target hands to the code under test: each input is written to it
// afresh, in a private folder on a memory file system when there is one, so that
// the code reads it through the same file calls as a file on disk.

#include <QString>

#include <cstddef>
#include <cstdint>

class FuzzInputFile
{
public:
    // name is the file's name inside the folder; its extension may matter to the
    // code under test (a playlist is told by ".vdl").
    explicit FuzzInputFile(const char* name);
    ~FuzzInputFile();
    FuzzInputFile(const FuzzInputFile&) = delete;
    FuzzInputFile& operator=(const FuzzInputFile&) = delete;

    // Replaces the file's content by copies back-to-back repetitions of the bytes and
    // gives it a modification time no earlier write had. A run stops at once when the
    // file cannot be written: a silent failure here would make every later input
    // test nothing.
    void Write(const std::uint8_t* data, std::size_t size, int copies = 1);
    // True when the file holds exactly these bytes (the code under test left it as
    // it was written).
    bool Holds(const std::uint8_t* data, std::size_t size) const;

    QString Path() const { return m_path; }
    QString Folder() const { return m_folder; }
    // The host path of another file in the same private folder.
    QString Sibling(const char* name) const;

private:
    QString m_folder;
    QString m_path;
    std::int64_t m_writes = 0;
};

// Drops Qt's warnings: some readers warn for every odd input, and writing them out
// would cost more than reading the input.
void QuietQtMessages();

// Installs a message-box presenter that answers every box with its default button
// and shows nothing: the code under test reports bad input through boxes.
void QuietMessageBoxes();
