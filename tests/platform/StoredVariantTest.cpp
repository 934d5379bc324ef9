// SPDX-License-Identifier: GPL-2.0-or-later
// A settings file holding a value that QSettings would decode as a typed value
// ("@Variant(...)"): its bytes can claim any count, and QSettings would allocate what
// they claim. The registry passes such values over before QSettings sees them; the
// learner's other settings read and are kept on the next write.

#include "Registry.h"
#include "TempDeviceRoot.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QVariant>

#include <gtest/gtest.h>

#include <optional>

namespace {

const QString kKey = QStringLiteral("Software\\Quorvane\\Vellumdeck");
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

class StoredVariantTest : public ::testing::Test
{
protected:
    void WriteIni(const QByteArray& contents)
    {
        QFile file(Registry::FilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(contents), contents.size());
    }
    static QByteArray ReadIni()
    {
        QFile file(Registry::FilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // The bytes of a value, or nothing when it does not read.
    static std::optional<QByteArray> Get(const QString& name)
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, &key) != ERROR_SUCCESS)
            return std::nullopt;
        QByteArray bytes(64, '\0');
        DWORD size = DWORD(bytes.size());
        const LONG result = RegQueryValueExW(key, name, nullptr, reinterpret_cast<BYTE*>(bytes.data()), &size);
        RegCloseKey(key);
        if (result != ERROR_SUCCESS)
            return std::nullopt;
        return bytes.left(qsizetype(size));
    }
    // Files beside the settings file other than itself (copies left behind).
    QStringList Strays() const
    {
        QStringList names = QDir(m_root.Path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QFileInfo(Registry::FilePath()).fileName());
        return names;
    }

    TempDeviceRoot m_root;
};

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
        EXPECT_EQ(Get(QStringLiteral("Other")), std::nullopt);
        EXPECT_EQ(Get(QStringLiteral("Height")), QByteArray("\x0c\0\0\0", 4));
        EXPECT_EQ(Get(QStringLiteral("FontName")), QByteArray("@\0G\0o\0t\0h\0i\0c\0", 14));
        EXPECT_EQ(ReadIni(), file);
        EXPECT_TRUE(Strays().isEmpty()) << Strays().join(' ').toStdString();
    }
}

// A write keeps every value that reads and drops the typed one, whose line no longer
// holds up the reads that follow.
TEST_F(StoredVariantTest, AWriteKeepsTheOtherValues)
{
    WriteIni(SettingsWith("Quorvane\\Vellumdeck\\Other=@Variant(" + kHugeList + ")"));
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, &key, nullptr), ERROR_SUCCESS);
    const DWORD bold = 1;
    EXPECT_EQ(RegSetValueExW(key, QStringLiteral("Bold"), REG_DWORD, reinterpret_cast<const BYTE*>(&bold), 4),
              ERROR_SUCCESS);
    RegCloseKey(key);

    EXPECT_FALSE(ReadIni().contains("Variant"));
    EXPECT_EQ(Get(QStringLiteral("Bold")), QByteArray("\x01\0\0\0", 4));
    EXPECT_EQ(Get(QStringLiteral("Height")), QByteArray("\x0c\0\0\0", 4));
    EXPECT_EQ(Get(QStringLiteral("FontName")), QByteArray("@\0G\0o\0t\0h\0i\0c\0", 14));
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
