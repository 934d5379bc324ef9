// SPDX-License-Identifier: GPL-2.0-or-later
// File::Read hands back every byte asked for unless the file ends first, even when the
// system gives them in parts; the readers of bookmark files, playlists, text files and
// recordings rely on that and have no loop of their own.
#include "File.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

TEST(FileReadTest, GathersBytesThatArriveInPartsUntilItHasThemAllOrTheEnd)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("pipe"));
    const QByteArray hostPath = QFile::encodeName(path);
    ASSERT_EQ(::mkfifo(hostPath.constData(), 0600), 0);

    // A pipe gives a read what it holds at the time: the second part is written only
    // once the reader has taken the first, so a single read would come back short.
    std::atomic<bool> giveUp{false};
    std::thread writer([&] {
        const int fd = ::open(hostPath.constData(), O_WRONLY);
        if (fd < 0)
            return;
        if (::write(fd, "012", 3) == 3) {
            for (int queued = 1; !giveUp && ::ioctl(fd, FIONREAD, &queued) == 0 && queued > 0;)
                std::this_thread::yield();
            if (::write(fd, "3456", 4) != 4)
                ADD_FAILURE() << "the second part was not written";
        }
        ::close(fd);
    });

    File file;
    const bool opened = file.Open(path, File::Access::Read, File::Disposition::OpenExisting);
    if (!opened) {
        // Lets the writer's open return, so that the thread ends.
        giveUp = true;
        ::close(::open(hostPath.constData(), O_RDONLY | O_NONBLOCK));
    }
    char buffer[16] = {};
    std::uint32_t got = 0;
    const bool whole = opened && file.Read(buffer, 7, &got);
    // Past the last part the writer has closed its end: the rest reads as the end.
    std::uint32_t more = 1;
    const bool atEnd = opened && file.Read(buffer + got, 4, &more);
    giveUp = true;
    writer.join();

    ASSERT_TRUE(opened);
    EXPECT_TRUE(whole);
    EXPECT_EQ(QByteArray(buffer, int(got)), "0123456");
    EXPECT_TRUE(atEnd);
    EXPECT_EQ(more, 0u);
}
