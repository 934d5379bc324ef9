// SPDX-License-Identifier: GPL-2.0-or-later
#include "FuzzInputFile.h"

#include "MessageBox.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A memory file system keeps millions of rewrites off the disk.
constexpr const char* kMemoryFolder = "/dev/shm";
constexpr mode_t kFileMode = 0600;
// Each input file is dated one second after the last, from 2000-01-01, so that no two
// inputs, and no file the code under test writes now, share a modification time.
constexpr time_t kFirstWriteTime = 946684800;

QString PrivateFolder()
{
    const QString base = QDir(QString::fromLatin1(kMemoryFolder)).exists() &&
                                 ::access(kMemoryFolder, W_OK) == 0
                             ? QString::fromLatin1(kMemoryFolder)
                             : QDir::tempPath();
    QByteArray pattern = QFile::encodeName(base + QStringLiteral("/vellumdeck-fuzz-XXXXXX"));
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("fuzz: cannot make a private folder");
        std::abort();
    }
    return QFile::decodeName(pattern);
}

void WriteAll(int fd, const std::uint8_t* data, std::size_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            std::perror("fuzz: cannot write the input file");
            std::abort();
        }
        data += written;
        size -= static_cast<std::size_t>(written);
    }
}

class QuietPresenter : public MessageBoxPresenter
{
public:
    int Present(void*, const QString&, const QString&, UINT flags) override
    {
        return DefaultMessageBoxResult(flags);
    }
};

}  // namespace

FuzzInputFile::FuzzInputFile(const char* name)
    : m_folder(PrivateFolder()), m_path(m_folder + QLatin1Char('/') + QString::fromLatin1(name))
{
}

FuzzInputFile::~FuzzInputFile()
{
    QDir(m_folder).removeRecursively();
}

void FuzzInputFile::Write(const std::uint8_t* data, std::size_t size, int copies)
{
    const QByteArray host = QFile::encodeName(m_path);
    const int fd = ::open(host.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        std::perror("fuzz: cannot open the input file");
        std::abort();
    }
    for (int i = 0; i < copies; ++i)
        WriteAll(fd, data, size);
    // Inputs follow each other within a tick of the file system's clock, often with
    // the same size: a reader that keeps what it parsed by name, size and time
    // (QSettings does) would take the new input for the old one.
    ++m_writes;
    const timespec times[2] = {{kFirstWriteTime + m_writes, 0}, {kFirstWriteTime + m_writes, 0}};
    if (::futimens(fd, times) != 0) {
        std::perror("fuzz: cannot date the input file");
        std::abort();
    }
    ::close(fd);
}

bool FuzzInputFile::Holds(const std::uint8_t* data, std::size_t size) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray held = file.read(qint64(size) + 1);
    return std::size_t(held.size()) == size && (size == 0 || std::memcmp(held.constData(), data, size) == 0);
}

QString FuzzInputFile::Sibling(const char* name) const
{
    return m_folder + QLatin1Char('/') + QString::fromLatin1(name);
}

void QuietQtMessages()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

void QuietMessageBoxes()
{
    SetMessageBoxPresenter(std::make_unique<QuietPresenter>());
}
