// SPDX-License-Identifier: GPL-2.0-or-later
#include "FileSizeLimit.h"
#include "Registry.h"
#include "TempDeviceRoot.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QVariant>

#include <gtest/gtest.h>

#include <optional>

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
    // The bytes of a value, or nothing when it does not read.
    std::optional<QByteArray> Value(const QString& name)
    {
        QByteArray bytes;
        return Get(name, &bytes) == ERROR_SUCCESS ? std::optional(bytes) : std::nullopt;
    }
    void WriteIni(const QByteArray& contents) { ASSERT_TRUE(m_root.WriteFile(Registry::FilePath(), contents)); }
    QByteArray ReadIni() const { return m_root.ReadFile(Registry::FilePath()); }
    // Files beside the settings file other than itself (copies left behind).
    QStringList Strays() const
    {
        QStringList names = QDir(m_root.Path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QFileInfo(Registry::FilePath()).fileName());
        return names;
    }

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
    EXPECT_EQ(Value("Good"), Dword(10));
    EXPECT_EQ(Get("List"), ERROR_SUCCESS);
    // Rewriting the file for another value keeps them.
    HKEY key = Create();
    ASSERT_EQ(Set(key, "Bold", REG_DWORD, Dword(1)), ERROR_SUCCESS);
    EXPECT_EQ(Value("Good"), Dword(10));

    // Pure garbage: reads fail cleanly, and a write still stores what it is given.
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(static_cast<char>((i * 7919) & 0xFF));
    WriteIni(garbage);
    EXPECT_EQ(Get("Height"), ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(Set(key, "Height", REG_DWORD, Dword(14)), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(Value("Height"), Dword(14));
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
    {
        FileSizeLimit limit(kWriteLimit);
        ASSERT_TRUE(limit.Active());
        EXPECT_NE(Set(key, "FontName", REG_SZ, Utf16Bytes("Courier")), ERROR_SUCCESS);
    }
    EXPECT_EQ(ReadIni(), before) << "a cut file was put in place of the whole one";
    EXPECT_TRUE(Strays().isEmpty()) << "a half-written file is left behind: " << Strays().join(' ').toStdString();
    EXPECT_EQ(Value("FontName"), Utf16Bytes("Tahoma"));

    EXPECT_EQ(Set(key, "FontName", REG_SZ, Utf16Bytes("Courier")), ERROR_SUCCESS);
    EXPECT_EQ(Value("FontName"), Utf16Bytes("Courier"));
    RegCloseKey(key);
}

// A settings file holding a value that QSettings would decode as a typed value
// ("@Variant(...)"): its bytes can claim any count, and QSettings would allocate what
// they claim. The registry passes such values over before QSettings sees them; the
// learner's other settings read and are kept on the next write.
using StoredVariantTest = RegistryTest;

// A string list that claims 1.7 thousand million items: 40 GB of QString, reserved
// before one is read.
const QByteArray kHugeList = "\\0\\0\\0\\xb\\x65\\x78\\x28\\x2a";

// A string of ours as QSettings streams a typed value, every byte escaped: were
// QSettings to decode it, it would read as the number 12.
QByteArray StreamedString(QDataStream::Version version)
{
    QByteArray streamed;
    QDataStream out(&streamed, QIODevice::WriteOnly);
    out.setVersion(version);
    out << QVariant(QStringLiteral("dword:0000000c"));
    QByteArray escaped;
    for (const char byte : streamed)
        escaped += "\\x" + QByteArray::number(static_cast<unsigned char>(byte), 16);
    return escaped;
}

QByteArray SettingsWith(const QByteArray& otherLine)
{
    return "[Software]\n"
           "Quorvane\\Vellumdeck\\Height=dword:0000000c\n" +
           otherLine +
           "\n"
           "Quorvane\\Vellumdeck\\FontName=sz:@Gothic\n";
}

// Written plainly, quoted, with its '@' escaped, continued on the next line, as a
// date or as one item of a list: each is passed over, the file is left as it was,
// and the values beside it read, a font name starting with '@' among them.
TEST_F(StoredVariantTest, TypedValuesAreNotReadAndTheOthersAre)
{
    const QByteArray text = StreamedString(QDataStream::Qt_4_0);
    const QByteArray forms[] = {
        "Quorvane\\Vellumdeck\\Other=@Variant(" + text + ")",
        "Quorvane\\Vellumdeck\\Other=\"@Variant(" + text + ")\"",
        "Quorvane\\Vellumdeck\\Other=  \\x40Variant(" + text + ")",
        "Quorvane\\Vellumdeck\\Other=@Var\\\niant(" + text + ")",
        "Quorvane\\Vellumdeck\\Other=@DateTime(" + StreamedString(QDataStream::Qt_5_6) + ")",
        "Quorvane\\Vellumdeck\\Other=sz:a, @Variant(" + kHugeList + ")",
        "Quorvane\\Vellumdeck\\Other=@Variant(" + kHugeList + ")",
    };
    for (const QByteArray& form : forms) {
        SCOPED_TRACE(form.toStdString());
        const QByteArray file = SettingsWith(form);
        WriteIni(file);
        EXPECT_EQ(Value("Other"), std::nullopt);
        EXPECT_EQ(Value("Height"), Dword(12));
        EXPECT_EQ(Value("FontName"), Utf16Bytes("@Gothic"));
        EXPECT_EQ(ReadIni(), file);
        EXPECT_TRUE(Strays().isEmpty()) << Strays().join(' ').toStdString();
    }
}

// A write keeps every value that reads and drops the typed one, whose line no longer
// holds up the reads that follow.
TEST_F(StoredVariantTest, AWriteKeepsTheOtherValues)
{
    WriteIni(SettingsWith("Quorvane\\Vellumdeck\\Other=@Variant(" + kHugeList + ")"));
    HKEY key = Create();
    EXPECT_EQ(Set(key, "Bold", REG_DWORD, Dword(1)), ERROR_SUCCESS);
    RegCloseKey(key);

    EXPECT_FALSE(ReadIni().contains("Variant"));
    EXPECT_EQ(Value("Bold"), Dword(1));
    EXPECT_EQ(Value("Height"), Dword(12));
    EXPECT_EQ(Value("FontName"), Utf16Bytes("@Gothic"));
    EXPECT_TRUE(Strays().isEmpty()) << Strays().join(' ').toStdString();
}

// The bytes a fuzzer found: a section left open and one raw typed value. The file
// has no key of ours, and saying so is all the reading does.
TEST_F(StoredVariantTest, TheFuzzersFileHasNoKey)
{
    WriteIni(QByteArray("[Software\nl\\\x8b\x9a=@Variant(\0\0\0\x0b" "ex(*)", 33));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, kKey, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key, nullptr);
}

}  // namespace
