// A registry write that runs out of room half way: the write fails and the file
// keeps everything it held before.

#include "FileSizeLimit.h"
#include "Registry.h"
#include "TempDeviceRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

const QString kKey = QStringLiteral("Software\\Quorvane\\Vellumdeck");
// Larger than QSettings' lock file, smaller than the file the test stores.
constexpr rlim_t kWriteLimit = 128;

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

LONG SetString(const QString& name, const QString& text)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, &key, nullptr) != ERROR_SUCCESS)
        return ERROR_ACCESS_DENIED;
    const LONG result = RegSetValueExW(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.utf16()),
                                       DWORD(text.size() * 2));
    RegCloseKey(key);
    return result;
}

QString GetString(const QString& name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS)
        return QString();
    QByteArray bytes(512, '\0');
    DWORD size = DWORD(bytes.size());
    const LONG result = RegQueryValueExW(key, name, nullptr, reinterpret_cast<BYTE*>(bytes.data()), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? QString(reinterpret_cast<const QChar*>(bytes.constData()), int(size / 2))
                                   : QString();
}

TEST(RegistryDiskFullTest, WriteThatRunsOutOfRoomFailsAndKeepsTheOldFile)
{
    TempDeviceRoot root;
    const QString file = Registry::FilePath();
    ASSERT_EQ(SetString("FontName", "Tahoma"), ERROR_SUCCESS);
    ASSERT_EQ(SetString("Note", "a value that makes the file longer than the limit"), ERROR_SUCCESS);
    const QByteArray before = ReadAll(file);
    ASSERT_GT(before.size(), qsizetype(kWriteLimit));
    const QStringList filesBefore = QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files);

    {
        FileSizeLimit limit(kWriteLimit);
        ASSERT_TRUE(limit.Active());
        EXPECT_NE(SetString("FontName", "Courier"), ERROR_SUCCESS);
    }
    EXPECT_EQ(ReadAll(file), before) << "a cut file was put in place of the whole one";
    EXPECT_EQ(QDir(QFileInfo(file).absolutePath()).entryList(QDir::Files), filesBefore);
    EXPECT_EQ(GetString("FontName"), QStringLiteral("Tahoma"));

    EXPECT_EQ(SetString("FontName", "Courier"), ERROR_SUCCESS);
    EXPECT_EQ(GetString("FontName"), QStringLiteral("Courier"));
}

}  // namespace
