// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// HKEY_CURRENT_USER keys and typed values over one INI file per user (QSettings).
// The file is VELLUMDECK_REGISTRY when set, else vellumdeck/registry.ini in the
// user's config folder. Results are the Win32 error numbers (ERROR_SUCCESS, ...).

#include "Win32Defs.h"

#include <QString>

struct RegistryKey;
using HKEY = RegistryKey*;

extern const HKEY HKEY_CURRENT_USER;

// disposition (may be null) receives REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY.
LONG RegCreateKeyExW(HKEY parent, const QString& subKey, HKEY* result, DWORD* disposition);
LONG RegOpenKeyExW(HKEY parent, const QString& subKey, HKEY* result);
// As the Win32 call: data may be null to ask the size; ERROR_MORE_DATA when *size is
// too small (then *size is the size needed); ERROR_FILE_NOT_FOUND for a missing value.
LONG RegQueryValueExW(HKEY key, const QString& name, DWORD* type, BYTE* data, DWORD* size);
LONG RegSetValueExW(HKEY key, const QString& name, DWORD type, const BYTE* data, DWORD size);
LONG RegCloseKey(HKEY key);

namespace Registry {
QString FilePath();
// Overrides the environment (tests); an empty path restores it.
void SetFilePath(const QString& path);
}  // namespace Registry
