// SPDX-License-Identifier: GPL-2.0-or-later
#include "RegSettings.h"

#include "LittleEndian.h"
#include "Registry.h"

#include <array>

namespace {

constexpr DWORD kNumberBytes = 4;

// Opens the settings key for one read or write and closes it again.
class SettingsKey
{
public:
    SettingsKey()
    {
        if (RegCreateKeyExW(HKEY_CURRENT_USER, QString::fromLatin1(CRegSettings::kKeyPath), &m_key, nullptr)
            != ERROR_SUCCESS)
            m_key = nullptr;
    }
    ~SettingsKey()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    bool IsOpen() const { return m_key != nullptr; }
    HKEY Handle() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

}  // namespace

int CRegSettings::SetFontName(const QString& name)
{
    SettingsKey key;
    if (!key.IsOpen())
        return 0;
    // Stored as two bytes per character, little-endian, with no terminating zero.
    QByteArray data;
    data.reserve(name.size() * 2);
    for (QChar c : name)
        LittleEndian::Append<quint16>(data, c.unicode());
    const LONG result = RegSetValueExW(key.Handle(), QString::fromLatin1(kFontNameValue), REG_SZ,
                                       reinterpret_cast<const BYTE*>(data.constData()), DWORD(data.size()));
    return result == ERROR_SUCCESS ? 1 : 0;
}

int CRegSettings::SetHeight(std::int32_t height)
{
    return SetNumber(kHeightValue, DWORD(height));
}

int CRegSettings::SetBold(int bold)
{
    return SetNumber(kBoldValue, bold ? 1 : 0);
}

int CRegSettings::SetBkColor(COLORREF color)
{
    return SetNumber(kBkColorValue, color);
}

int CRegSettings::SetTxtColor(COLORREF color)
{
    return SetNumber(kTxtColorValue, color);
}

QString CRegSettings::GetFontName()
{
    const QString unreadable = QString::fromLatin1(kUnreadableName);
    SettingsKey key;
    if (!key.IsOpen())
        return unreadable;
    // One unit more than may be read, so the name always ends in a zero unit.
    std::array<BYTE, kMaxNameBytes + 2> buffer{};
    DWORD type = 0;
    DWORD size = kMaxNameBytes;
    if (RegQueryValueExW(key.Handle(), QString::fromLatin1(kFontNameValue), &type, buffer.data(), &size)
        != ERROR_SUCCESS)
        return unreadable;
    QString name;
    for (std::size_t i = 0; i + 1 < buffer.size(); i += 2) {
        const char16_t unit = LittleEndian::Read<quint16>(&buffer[i]);
        if (unit == 0)
            break;
        name.append(QChar(unit));
    }
    return name;
}

std::int32_t CRegSettings::GetHeight()
{
    DWORD height = 0;
    switch (ReadNumber(kHeightValue, &height)) {
    case NumberRead::Ok:
        return std::int32_t(height);
    case NumberRead::KeyFailed:
        return 0;
    case NumberRead::ValueFailed:
        break;
    }
    return -1;
}

int CRegSettings::GetBold()
{
    return QueryNumber(kBoldValue) == DWORD(1) ? 1 : 0;
}

COLORREF CRegSettings::GetBkColor()
{
    return QueryNumber(kBkColorValue).value_or(0);
}

COLORREF CRegSettings::GetTxtColor()
{
    return QueryNumber(kTxtColorValue).value_or(0);
}

std::optional<DWORD> CRegSettings::QueryNumber(const char* valueName)
{
    DWORD number = 0;
    if (ReadNumber(valueName, &number) != NumberRead::Ok)
        return std::nullopt;
    return number;
}

CRegSettings::NumberRead CRegSettings::ReadNumber(const char* valueName, DWORD* number)
{
    SettingsKey key;
    if (!key.IsOpen())
        return NumberRead::KeyFailed;
    // The stored type is not checked; a shorter value leaves the upper bytes zero.
    std::array<BYTE, kNumberBytes> bytes{};
    DWORD type = 0;
    DWORD size = kNumberBytes;
    if (RegQueryValueExW(key.Handle(), QString::fromLatin1(valueName), &type, bytes.data(), &size)
        != ERROR_SUCCESS)
        return NumberRead::ValueFailed;
    *number = LittleEndian::Read<DWORD>(bytes.data());
    return NumberRead::Ok;
}

int CRegSettings::SetNumber(const char* valueName, DWORD number)
{
    SettingsKey key;
    if (!key.IsOpen())
        return 0;
    std::array<BYTE, kNumberBytes> bytes{};
    LittleEndian::Write<DWORD>(bytes.data(), number);
    const LONG result = RegSetValueExW(key.Handle(), QString::fromLatin1(valueName), REG_DWORD, bytes.data(),
                                       kNumberBytes);
    return result == ERROR_SUCCESS ? 1 : 0;
}

int CRegSettings::SetBytes(const char* valueName, const QByteArray& bytes)
{
    SettingsKey key;
    if (!key.IsOpen() || DWORD(bytes.size()) > kMaxBytes)
        return 0;
    const LONG result = RegSetValueExW(key.Handle(), QString::fromLatin1(valueName), REG_BINARY,
                                       reinterpret_cast<const BYTE*>(bytes.constData()), DWORD(bytes.size()));
    return result == ERROR_SUCCESS ? 1 : 0;
}

QByteArray CRegSettings::GetBytes(const char* valueName)
{
    SettingsKey key;
    if (!key.IsOpen())
        return QByteArray();
    QByteArray bytes(kMaxBytes, '\0');
    DWORD type = 0;
    DWORD size = kMaxBytes;
    if (RegQueryValueExW(key.Handle(), QString::fromLatin1(valueName), &type, reinterpret_cast<BYTE*>(bytes.data()),
                         &size) != ERROR_SUCCESS || type != REG_BINARY)
        return QByteArray();
    bytes.truncate(qsizetype(size));
    return bytes;
}
