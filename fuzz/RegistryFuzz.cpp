// SPDX-License-Identifier: GPL-2.0-or-later
// Reads a registry file made of the input bytes as the program reads its display
// settings: the key, then each of the five values through the registry's own calls
// (the size alone, too small a buffer, the exact size) and through CRegSettings.
// Whatever the file holds, the calls keep the protocol of their Win32 namesakes, and
// reading a file that has the key never changes it.
//
// A file without the key is only opened: CRegSettings would create the key, and
// writes are registry_write_fuzz's, which runs them at their own slower pace.

#include "FuzzCheck.h"
#include "FuzzInputFile.h"
#include "RegSettings.h"
#include "Registry.h"
#include "StoredSettings.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <vector>

namespace {

const char* const kValueNames[] = {CRegSettings::kFontNameValue, CRegSettings::kHeightValue,
                                   CRegSettings::kBoldValue, CRegSettings::kBkColorValue,
                                   CRegSettings::kTxtColorValue};

// The size alone, one byte too few, then exactly the size (a buffer of that size,
// so that a write past it is caught); the three answers must agree.
void QueryValue(HKEY key, const QString& name)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    const LONG asked = RegQueryValueExW(key, name, &type, nullptr, &size);
    if (asked == ERROR_FILE_NOT_FOUND)
        return;
    FuzzCheck(asked == ERROR_SUCCESS, "a size query succeeds or finds nothing");

    std::vector<BYTE> bytes(size);
    if (size > 0) {
        DWORD shorter = size - 1;
        FuzzCheck(RegQueryValueExW(key, name, nullptr, bytes.data(), &shorter) == ERROR_MORE_DATA,
                  "too small a buffer is ERROR_MORE_DATA");
        FuzzCheck(shorter == size, "ERROR_MORE_DATA tells the size needed");
    }
    DWORD exact = size;
    DWORD typeRead = REG_NONE;
    FuzzCheck(RegQueryValueExW(key, name, &typeRead, bytes.data(), &exact) == ERROR_SUCCESS,
              "the size asked for is enough");
    FuzzCheck(exact == size && typeRead == type, "the read has the size and type asked");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static FuzzInputFile input("registry.ini");
    static bool pointed = (QuietQtMessages(), Registry::SetFilePath(input.Path()), true);
    (void)pointed;
    input.Write(data, size);

    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, QString::fromLatin1(CRegSettings::kKeyPath), &key) != ERROR_SUCCESS) {
        FuzzCheck(key == nullptr, "a failed open gives no key");
        return 0;
    }
    for (const char* name : kValueNames)
        QueryValue(key, QString::fromLatin1(name));
    RegCloseKey(key);

    const StoredSettings settings = StoredSettings::Read();
    FuzzCheck(!settings.fontName.contains(QChar(u'\0')), "the font name ends at its first zero unit");
    FuzzCheck(input.Holds(data, size), "reading a file that has the key leaves it as it was");
    return 0;
}
