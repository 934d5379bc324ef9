// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// An open file, closed by its destructor. Paths are device or host paths.
// On failure the system error is kept for SystemError::Last().

#include <QString>

#include <cstdint>

class File
{
public:
    enum class Access { Read, Write, ReadWrite };
    enum class Disposition { OpenExisting, CreateAlways, OpenAlways, CreateNew };
    enum class Origin { Begin, Current, End };

    File() = default;
    ~File();
    File(File&& other) noexcept;
    File& operator=(File&& other) noexcept;
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    bool Open(const QString& path, Access access, Disposition disposition);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    int Handle() const { return m_fd; }   // -1 when closed

    // Reads count bytes, going on after short reads until it has them all or the file
    // ends: got below count means the end came first (0: already there). False on a read
    // error, with got the bytes that arrived before it. No caller needs a loop of its own.
    bool Read(void* buffer, std::uint32_t count, std::uint32_t* got);
    // Writes all count bytes, going on after short writes; false on an error, with
    // written the bytes that went before it.
    bool Write(const void* buffer, std::uint32_t count, std::uint32_t* written);
    // The new offset, or -1 on failure.
    std::int64_t Seek(std::int64_t offset, Origin origin);
    // The size in bytes, or -1 on failure.
    std::int64_t Size() const;
    // Flushes to the disk (for a write that must survive a crash).
    bool Sync();

private:
    int m_fd = -1;
};
