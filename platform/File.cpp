// SPDX-License-Identifier: GPL-2.0-or-later
#include "File.h"

#include "DevicePath.h"
#include "SystemError.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr mode_t kNewFileMode = 0666;   // narrowed by the user's umask

int OpenFlags(File::Access access, File::Disposition disposition)
{
    int flags = O_CLOEXEC;
    switch (access) {
    case File::Access::Read: flags |= O_RDONLY; break;
    case File::Access::Write: flags |= O_WRONLY; break;
    case File::Access::ReadWrite: flags |= O_RDWR; break;
    }
    switch (disposition) {
    case File::Disposition::OpenExisting: break;
    case File::Disposition::CreateAlways: flags |= O_CREAT | O_TRUNC; break;
    case File::Disposition::OpenAlways: flags |= O_CREAT; break;
    case File::Disposition::CreateNew: flags |= O_CREAT | O_EXCL; break;
    }
    return flags;
}

// Truncation needs write access; a read-only handle asked to "create always"
// would otherwise fail on some systems and silently keep the data on others.
bool NeedsWrite(File::Access access, File::Disposition disposition)
{
    return access == File::Access::Read && disposition == File::Disposition::CreateAlways;
}

}  // namespace

File::~File()
{
    Close();
}

File::File(File&& other) noexcept : m_fd(other.m_fd)
{
    other.m_fd = -1;
}

File& File::operator=(File&& other) noexcept
{
    if (this != &other) {
        Close();
        m_fd = other.m_fd;
        other.m_fd = -1;
    }
    return *this;
}

bool File::Open(const QString& path, Access access, Disposition disposition)
{
    Close();
    if (NeedsWrite(access, disposition))
        access = Access::ReadWrite;
    const QByteArray host = QFile::encodeName(DevicePath::ToHost(path));
    int fd;
    do {
        fd = ::open(host.constData(), OpenFlags(access, disposition), kNewFileMode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        SystemError::SetLast(errno);
        return false;
    }
    // A folder is not a file: opening one fails as it does on the device.
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode)) {
        ::close(fd);
        SystemError::SetLast(EISDIR);
        return false;
    }
    m_fd = fd;
    return true;
}

void File::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool File::Read(void* buffer, std::uint32_t count, std::uint32_t* got)
{
    if (got)
        *got = 0;
    if (m_fd < 0) {
        SystemError::SetLast(EBADF);
        return false;
    }
    auto* bytes = static_cast<char*>(buffer);
    std::uint32_t total = 0;
    // Keep reading after a short read, so a caller that asked for a whole block gets
    // it unless the end of the file comes first.
    while (total < count) {
        const ssize_t n = ::read(m_fd, bytes + total, count - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SystemError::SetLast(errno);
            if (got)
                *got = total;
            return false;
        }
        if (n == 0)
            break;
        total += static_cast<std::uint32_t>(n);
    }
    if (got)
        *got = total;
    return true;
}

bool File::Write(const void* buffer, std::uint32_t count, std::uint32_t* written)
{
    if (written)
        *written = 0;
    if (m_fd < 0) {
        SystemError::SetLast(EBADF);
        return false;
    }
    const auto* bytes = static_cast<const char*>(buffer);
    std::uint32_t total = 0;
    while (total < count) {
        const ssize_t n = ::write(m_fd, bytes + total, count - total);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            SystemError::SetLast(errno);
            if (written)
                *written = total;
            return false;
        }
        total += static_cast<std::uint32_t>(n);
    }
    if (written)
        *written = total;
    return true;
}

std::int64_t File::Seek(std::int64_t offset, Origin origin)
{
    if (m_fd < 0) {
        SystemError::SetLast(EBADF);
        return -1;
    }
    int whence = SEEK_SET;
    switch (origin) {
    case Origin::Begin: whence = SEEK_SET; break;
    case Origin::Current: whence = SEEK_CUR; break;
    case Origin::End: whence = SEEK_END; break;
    }
    const off_t result = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    if (result < 0) {
        SystemError::SetLast(errno);
        return -1;
    }
    return result;
}

std::int64_t File::Size() const
{
    struct stat status {};
    if (m_fd < 0) {
        SystemError::SetLast(EBADF);
        return -1;
    }
    if (::fstat(m_fd, &status) != 0) {
        SystemError::SetLast(errno);
        return -1;
    }
    return status.st_size;
}

bool File::Sync()
{
    if (m_fd < 0) {
        SystemError::SetLast(EBADF);
        return false;
    }
    if (::fsync(m_fd) != 0) {
        SystemError::SetLast(errno);
        return false;
    }
    return true;
}
