// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Reads a module's resource tables from their JSON text. A table that does not read
// whole is refused whole: a misspelt style or kind is a fault of the data, reported in
// error, never half applied.

#include "DialogTemplate.h"

#include <QByteArray>
#include <QString>

#include <map>
#include <vector>

namespace ResourceReader {

// {"dialogs": [{"id", "caption", "size": [w, h], "font": [name, points], "styles": [...],
//   "controls": [{"id", "kind", "text", "rect": [x, y, w, h], "styles": [...], "image"}]}]}
bool ReadDialogs(const QByteArray& json, std::vector<DialogTemplate>& dialogs, QString* error = nullptr);

// {"menus": [{"id", "popups": [{"text", "items": [{"text", "command"} | {"separator": true}]}]}]}
bool ReadMenus(const QByteArray& json, std::vector<MenuTemplate>& menus, QString* error = nullptr);

// {"accelerators": [{"id", "entries": [{"key": "Ctrl+O", "command"}]}]}
bool ReadAccelerators(const QByteArray& json, std::vector<AcceleratorTable>& tables, QString* error = nullptr);

// {"strings": [{"id", "text"}]}
bool ReadStrings(const QByteArray& json, std::map<int, QString>& strings, QString* error = nullptr);

} // namespace ResourceReader
