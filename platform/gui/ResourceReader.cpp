// SPDX-License-Identifier: GPL-2.0-or-later
#include "ResourceReader.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <utility>

namespace {

struct StyleName
{
    const char* name;
    std::uint32_t bit;
};

constexpr StyleName kControlStyles[] = {
    {"hidden", ControlStyle::Hidden},
    {"disabled", ControlStyle::Disabled},
    {"tabstop", ControlStyle::TabStop},
    {"border", ControlStyle::Border},
    {"vscroll", ControlStyle::VScroll},
    {"hscroll", ControlStyle::HScroll},
    {"default", ControlStyle::DefaultButton},
    {"autohscroll", ControlStyle::AutoHScroll},
    {"readonly", ControlStyle::ReadOnly},
    {"multiline", ControlStyle::MultiLine},
    {"dropdown", ControlStyle::DropDown},
    {"dropdownlist", ControlStyle::DropDownList},
    {"sort", ControlStyle::Sort},
    {"report", ControlStyle::Report},
    {"singlesel", ControlStyle::SingleSelection},
    {"showselalways", ControlStyle::ShowSelectionAlways},
    {"sortascending", ControlStyle::SortAscending},
    {"shareimagelists", ControlStyle::ShareImageLists},
    {"hasbuttons", ControlStyle::HasButtons},
    {"haslines", ControlStyle::HasLines},
    {"linesatroot", ControlStyle::LinesAtRoot},
    {"vertical", ControlStyle::Vertical},
    {"noticks", ControlStyle::NoTicks},
    {"both", ControlStyle::BothSides},
    {"top", ControlStyle::TicksTop},
    {"setbuddyint", ControlStyle::SetBuddyInt},
    {"alignright", ControlStyle::AlignRight},
    {"autobuddy", ControlStyle::AutoBuddy},
    {"arrowkeys", ControlStyle::ArrowKeys},
    {"notify", ControlStyle::Notify},
};

constexpr StyleName kDialogStyles[] = {
    {"child", DialogStyle::Child},
    {"caption", DialogStyle::Caption},
    {"modalframe", DialogStyle::ModalFrame},
    {"sysmenu", DialogStyle::SysMenu},
};

struct KindName
{
    const char* name;
    ControlKind kind;
};

constexpr KindName kKinds[] = {
    {"static", ControlKind::Static},     {"icon", ControlKind::Icon},
    {"edit", ControlKind::Edit},         {"button", ControlKind::Button},
    {"checkbox", ControlKind::CheckBox}, {"combobox", ControlKind::ComboBox},
    {"listbox", ControlKind::ListBox},   {"listview", ControlKind::ListView},
    {"treeview", ControlKind::TreeView}, {"trackbar", ControlKind::Trackbar},
    {"updown", ControlKind::UpDown},
};

void SetError(QString* error, const QString& text)
{
    if (error != nullptr)
        *error = text;
}

template <std::size_t N>
bool ReadStyles(const QJsonValue& value, const StyleName (&names)[N], std::uint32_t& styles, QString* error)
{
    styles = 0;
    for (const QJsonValue& item : value.toArray()) {
        const QString name = item.toString();
        bool known = false;
        for (const StyleName& entry : names) {
            if (name == QLatin1String(entry.name)) {
                styles |= entry.bit;
                known = true;
            }
        }
        if (!known) {
            SetError(error, QStringLiteral("unknown style \"%1\"").arg(name));
            return false;
        }
    }
    return true;
}

bool ReadKind(const QString& name, ControlKind& kind)
{
    for (const KindName& entry : kKinds) {
        if (name == QLatin1String(entry.name)) {
            kind = entry.kind;
            return true;
        }
    }
    return false;
}

// Integers in the tables are small; anything else (a fraction, a string) is a typo.
bool ReadInt(const QJsonValue& value, int& out)
{
    if (!value.isDouble())
        return false;
    const double number = value.toDouble();
    out = int(number);
    return double(out) == number;
}

bool ReadIntArray(const QJsonValue& value, int* out, qsizetype count)
{
    const QJsonArray array = value.toArray();
    if (array.size() != count)
        return false;
    for (qsizetype i = 0; i < count; ++i) {
        if (!ReadInt(array.at(i), out[i]))
            return false;
    }
    return true;
}

bool ReadControl(const QJsonObject& object, ControlTemplate& control, QString* error)
{
    int rect[4] = {};
    if (!ReadInt(object.value("id"), control.id) || !ReadKind(object.value("kind").toString(), control.kind)
        || !ReadIntArray(object.value("rect"), rect, 4)) {
        SetError(error, QStringLiteral("control needs a numeric id, a known kind and a rect [x, y, w, h]"));
        return false;
    }
    if (rect[2] < 0 || rect[3] < 0) {
        SetError(error, QStringLiteral("control %1 has a negative size").arg(control.id));
        return false;
    }
    control.rect = QRect(rect[0], rect[1], rect[2], rect[3]);
    control.text = object.value("text").toString();
    if (object.contains("image") && !ReadInt(object.value("image"), control.imageId)) {
        SetError(error, QStringLiteral("control %1 has a bad image id").arg(control.id));
        return false;
    }
    if (!ReadStyles(object.value("styles"), kControlStyles, control.styles, error)) {
        SetError(error, QStringLiteral("control %1: %2").arg(control.id).arg(error ? *error : QString()));
        return false;
    }
    return true;
}

bool ReadDialog(const QJsonObject& object, DialogTemplate& dialog, QString* error)
{
    int size[2] = {};
    const QJsonArray font = object.value("font").toArray();
    if (!ReadInt(object.value("id"), dialog.id) || !ReadIntArray(object.value("size"), size, 2) || font.size() != 2
        || !ReadInt(font.at(1), dialog.fontPoints)) {
        SetError(error, QStringLiteral("dialog needs a numeric id, a size [w, h] and a font [name, points]"));
        return false;
    }
    dialog.size = QSize(size[0], size[1]);
    dialog.fontName = font.at(0).toString();
    dialog.caption = object.value("caption").toString();
    if (!ReadStyles(object.value("styles"), kDialogStyles, dialog.styles, error))
        return false;
    for (const QJsonValue& value : object.value("controls").toArray()) {
        ControlTemplate control;
        if (!ReadControl(value.toObject(), control, error)) {
            SetError(error, QStringLiteral("dialog %1: %2").arg(dialog.id).arg(error ? *error : QString()));
            return false;
        }
        dialog.controls.push_back(std::move(control));
    }
    return true;
}

bool ReadMenuItem(const QJsonObject& object, MenuItemTemplate& item, QString* error)
{
    if (object.value("separator").toBool()) {
        item.separator = true;
        return true;
    }
    item.text = object.value("text").toString();
    if (object.contains("items")) {
        for (const QJsonValue& value : object.value("items").toArray()) {
            MenuItemTemplate child;
            if (!ReadMenuItem(value.toObject(), child, error))
                return false;
            item.items.push_back(std::move(child));
        }
        if (item.items.empty()) {
            SetError(error, QStringLiteral("popup \"%1\" has no items").arg(item.text));
            return false;
        }
        return true;
    }
    if (!ReadInt(object.value("command"), item.command)) {
        SetError(error, QStringLiteral("menu item \"%1\" needs a command").arg(item.text));
        return false;
    }
    return true;
}

// Parses the document and hands the array under key to readEach, one object at a time.
template <typename ReadEach>
bool ReadTable(const QByteArray& json, const char* key, QString* error, ReadEach readEach)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull()) {
        SetError(error, parseError.errorString());
        return false;
    }
    if (!document.object().value(key).isArray()) {
        SetError(error, QStringLiteral("no \"%1\" array").arg(key));
        return false;
    }
    for (const QJsonValue& value : document.object().value(key).toArray()) {
        if (!readEach(value.toObject()))
            return false;
    }
    return true;
}

} // namespace

namespace ResourceReader {

bool ReadDialogs(const QByteArray& json, std::vector<DialogTemplate>& dialogs, QString* error)
{
    std::vector<DialogTemplate> read;
    const bool ok = ReadTable(json, "dialogs", error, [&](const QJsonObject& object) {
        DialogTemplate dialog;
        if (!ReadDialog(object, dialog, error))
            return false;
        read.push_back(std::move(dialog));
        return true;
    });
    if (ok)
        dialogs = std::move(read);
    return ok;
}

bool ReadMenus(const QByteArray& json, std::vector<MenuTemplate>& menus, QString* error)
{
    std::vector<MenuTemplate> read;
    const bool ok = ReadTable(json, "menus", error, [&](const QJsonObject& object) {
        MenuTemplate menu;
        if (!ReadInt(object.value("id"), menu.id)) {
            SetError(error, QStringLiteral("menu needs a numeric id"));
            return false;
        }
        for (const QJsonValue& value : object.value("popups").toArray()) {
            MenuItemTemplate popup;
            if (!ReadMenuItem(value.toObject(), popup, error))
                return false;
            menu.popups.push_back(std::move(popup));
        }
        read.push_back(std::move(menu));
        return true;
    });
    if (ok)
        menus = std::move(read);
    return ok;
}

bool ReadAccelerators(const QByteArray& json, std::vector<AcceleratorTable>& tables, QString* error)
{
    std::vector<AcceleratorTable> read;
    const bool ok = ReadTable(json, "accelerators", error, [&](const QJsonObject& object) {
        AcceleratorTable table;
        if (!ReadInt(object.value("id"), table.id)) {
            SetError(error, QStringLiteral("accelerator table needs a numeric id"));
            return false;
        }
        for (const QJsonValue& value : object.value("entries").toArray()) {
            const QJsonObject entryObject = value.toObject();
            Accelerator entry;
            const QString keyText = entryObject.value("key").toString();
            entry.key = QKeySequence::fromString(keyText, QKeySequence::PortableText);
            // One key per entry: a sequence that reads as more (or none) is a typo.
            if (entry.key.count() != 1 || !ReadInt(entryObject.value("command"), entry.command)) {
                SetError(error, QStringLiteral("accelerator \"%1\" needs one key and a command").arg(keyText));
                return false;
            }
            table.entries.push_back(entry);
        }
        read.push_back(std::move(table));
        return true;
    });
    if (ok)
        tables = std::move(read);
    return ok;
}

bool ReadStrings(const QByteArray& json, std::map<int, QString>& strings, QString* error)
{
    std::map<int, QString> read;
    const bool ok = ReadTable(json, "strings", error, [&](const QJsonObject& object) {
        int id = 0;
        if (!ReadInt(object.value("id"), id) || !object.value("text").isString()) {
            SetError(error, QStringLiteral("string needs a numeric id and a text"));
            return false;
        }
        read[id] = object.value("text").toString();
        return true;
    });
    if (ok)
        strings = std::move(read);
    return ok;
}

} // namespace ResourceReader
