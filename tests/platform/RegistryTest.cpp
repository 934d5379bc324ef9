// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileSizeLimit.h"
#include "Registry.h"
#include "TempDeviceRoot.h"

#include <QDir>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

const QString kKey = "Software\\Quorvane\\Vellumdeck";

QByteArray Utf16Bytes(const QString& text, bool terminated = false)
{
    QByteArray bytes(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    return terminated ? bytes + QByteArray(2, '\0') : bytes;
}

QByteArray Dword(DWORD value)
{
    return QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

class RegistryTest : public ::testing::Test
{
protected:
    HKEY Create(DWORD* disposition = nullptr)
    {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, &key, disposition), ERROR_SUCCESS);
        return key;
    }
    LONG Set(HKEY key, const QString& name, DWORD type, const QByteArray& bytes)
    {
        return RegSetValueExW(key, name, type, reinterpret_cast<const BYTE*>(bytes.constData()),
                              static_cast<DWORD>(bytes.size()));
    }
    // The stored bytes of a value, its size asked first, read back through a fresh key.
    LONG Get(const QString& name, QByteArray* bytes = nullptr, DWORD* type = nullptr)
    {
        QByteArray ignoredBytes;
        DWORD ignoredType = REG_NONE;
        bytes = bytes ? bytes : &ignoredBytes;
        type = type ? type : &ignoredType;
        HKEY key = nullptr;
        if (const LONG opened = RegOpenKeyExW(HKEY_CURRENT_USER, kKey, &key); opened != ERROR_SUCCESS)
            return opened;
        DWORD size = 0;
        LONG result = RegQueryValueExW(key, name, type, nullptr, &size);
        if (result == ERROR_SUCCESS) {
            bytes->resize(static_cast<qsizetype>(size));
            result = RegQueryValueExW(key, name, type, reinterpret_cast<BYTE*>(bytes->data()), &size);
        }
        RegCloseKey(key);
        return result;
    }
    void WriteIni(const QByteArray& contents) { ASSERT_TRUE(m_root.WriteFile(Registry::FilePath(), contents)); }
    QByteArray ReadIni() const { return m_root.ReadFile(Registry::FilePath()); }

    TempDeviceRoot m_root;
};

// Every control character, the INI file's own syntax, non-characters and surrogate
// pairs, lone halves of pairs and odd byte counts come back byte for byte, and so do
// numbers, binary data and a value overwritten in a key opened again.
TEST_F(RegistryTest, ValuesRoundTripByteForByte)
{
    DWORD disposition = 0;
    RegCloseKey(Create(&disposition));
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    HKEY key = Create(&disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY) << "an empty key is kept";

    QString text;
    for (char16_t unit = 1; unit < 0x80; ++unit)
        text += QChar(unit);
    text += QString::fromUtf8("é한😀") + QChar(0xFFFE) + QChar(0xFFFF) + QChar(0xFEFF);
    const std::vector<std::tuple<QString, DWORD, QByteArray>> values = {
        {"Height", REG_DWORD, Dword(1)},   // overwritten below
        {"FontName", REG_SZ, Utf16Bytes("Tahoma")},
        {"Tricky", REG_SZ, Utf16Bytes(QString::fromUtf8(" Tahoma, \"맑은 고딕\"; @x=1\\[a]\n "))},
        {"All", REG_SZ, Utf16Bytes(text)},
        {"Variant", REG_SZ, Utf16Bytes("@Variant(x)")},
        {"Lone", REG_SZ, Utf16Bytes(QString(QChar(0xDC00)))},
        {"Terminated", REG_SZ, Utf16Bytes("Arial", true)},
        {"Odd", REG_SZ, QByteArray("abc", 3)},
        {"Empty", REG_SZ, QByteArray()},
        {"Blob", REG_BINARY, QByteArray("\x00\xff\x10", 3)},
        {"a/b\\c", REG_SZ, Utf16Bytes("slashes")},
        {"Height", REG_DWORD, Dword(12)},
    };
    for (const auto& [name, type, bytes] : values)
        ASSERT_EQ(Set(key, name, type, bytes), ERROR_SUCCESS) << name.toStdString();
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    for (std::size_t i = 1; i < values.size(); ++i) {   // all but the overwritten first
        const auto& [name, type, bytes] = values[i];
        SCOPED_TRACE(name.toStdString());
        DWORD gotType = REG_NONE;
        QByteArray got;
        ASSERT_EQ(Get(name, &got, &gotType), ERROR_SUCCESS);
        EXPECT_EQ(gotType, type);
        EXPECT_EQ(got, bytes);
    }

    // The file stays readable by a person.
    const QByteArray ini = ReadIni();
    EXPECT_TRUE(ini.contains("Quorvane\\Vellumdeck\\Height=dword:0000000c")) << ini.constData();
    EXPECT_TRUE(ini.contains("Quorvane\\Vellumdeck\\FontName=sz:Tahoma")) << ini.constData();
}

TEST_F(RegistryTest, CorruptOrHandEditedFileNeverCrashesAndBadValuesReadAsMissing)
{
    WriteIni("[Software\\Quorvane\\Vellumdeck]\n"
             "Height=dword:zz\n"
             "Bold=dword:123456789\n"
             "BkColor=hex(3):abc\n"
             "TxtColor=@Variant(\\0\\0\\0\\x7f\\xff)\n"
             "FontName=Tahoma\n"
             "Good=dword:0000000a\n"
             "List=sz:a,b\n"
             "[broken\n\x01\x02\xff\xfe=\n");
    for (const QString name : {"Height", "Bold", "BkColor", "TxtColor", "FontName"})
        EXPECT_EQ(Get(name), ERROR_FILE_NOT_FOUND) << name.toStdString();
    QByteArray bytes;
    ASSERT_EQ(Get("Good", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, Dword(10));
    EXPECT_EQ(Get("List"), ERROR_SUCCESS);
    // Rewriting the file for another value keeps them.
    HKEY key = Create();
    ASSERT_EQ(Set(key, "Bold", REG_DWORD, Dword(1)), ERROR_SUCCESS);
    ASSERT_EQ(Get("Good", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, Dword(10));

    // Pure garbage: reads fail cleanly, and a write still stores what it is given.
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) & 0xFF));
    WriteIni(garbage);
    EXPECT_EQ(Get("Height"), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(Set(key, "Height", REG_DWORD, Dword(14)), ERROR_SUCCESS);
    RegCloseKey(key);
    ASSERT_EQ(Get("Height", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, Dword(14));
}

// A settings file that cannot be made fails every write instead of pretending:
// RegSettingsTest.KeyThatCannotBeCreatedStillGivesAReadablePane.

// A write that runs out of room half way fails, and the file keeps everything it
// held before.
using RegistryDiskFullTest = RegistryTest;
TEST_F(RegistryDiskFullTest, WriteThatRunsOutOfRoomFailsAndKeepsTheOldFile)
{
    constexpr rlim_t kWriteLimit = 128;   // more than QSettings' lock file, less than the file
    HKEY key = Create();
    ASSERT_EQ(Set(key, "FontName", REG_SZ, Utf16Bytes("Tahoma")), ERROR_SUCCESS);
    ASSERT_EQ(Set(key, "Note", REG_SZ, Utf16Bytes("a value that makes the file longer than the limit")),
              ERROR_SUCCESS);
    const QByteArray before = ReadIni();
    ASSERT_GT(before.size(), qsizetype(kWriteLimit));
    const QDir folder = QFileInfo(Registry::FilePath()).absoluteDir();
    const QStringList filesBefore = folder.entryList(QDir::Files | QDir::Hidden);
    {
        FileSizeLimit limit(kWriteLimit);
        ASSERT_TRUE(limit.Active());
        EXPECT_NE(Set(key, "FontName", REG_SZ, Utf16Bytes("Courier")), ERROR_SUCCESS);
    }
    EXPECT_EQ(ReadIni(), before) << "a cut file was put in place of the whole one";
    EXPECT_EQ(folder.entryList(QDir::Files | QDir::Hidden), filesBefore) << "no half-written file is left behind";
    QByteArray bytes;
    EXPECT_EQ(Get("FontName", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, Utf16Bytes("Tahoma"));

    EXPECT_EQ(Set(key, "FontName", REG_SZ, Utf16Bytes("Courier")), ERROR_SUCCESS);
    EXPECT_EQ(Get("FontName", &bytes), ERROR_SUCCESS);
    EXPECT_EQ(bytes, Utf16Bytes("Courier"));
    RegCloseKey(key);
}
