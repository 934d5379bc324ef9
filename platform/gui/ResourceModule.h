// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A module's resources by numeric id: the program and each library embed their own
// under ":/<module name>/" (bitmaps/<id>.bmp, icons/<id>.png, dialogs.json, menus.json,
// accelerators.json, strings.json). A missing resource is an empty result, never an error
// that crosses the call.

#include "DialogTemplate.h"

#include <QImage>
#include <QString>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class ResourceModule
{
public:
    // The one module object of that name for the whole process; never destroyed.
    static const ResourceModule& Named(const QString& name);

    const QString& Name() const { return m_name; }

    // Null image when the module has no such bitmap. The image keeps the file's pixel
    // format (an 8-bit BMP reads as indexed).
    QImage LoadBitmap(int id) const;
    // Icons are PNG (or BMP) files of their own; null image when missing.
    QImage LoadIcon(int id) const;
    std::optional<QString> LoadString(int id) const;
    std::optional<MenuTemplate> LoadMenu(int id) const;
    std::optional<AcceleratorTable> LoadAccelerators(int id) const;
    std::optional<DialogTemplate> LoadDialog(int id) const;

    // The full tables, for listing what a module holds.
    std::vector<DialogTemplate> Dialogs() const;

    explicit ResourceModule(QString name);

private:
    struct Tables
    {
        std::vector<DialogTemplate> dialogs;
        std::vector<MenuTemplate> menus;
        std::vector<AcceleratorTable> accelerators;
        std::map<int, QString> strings;
    };

    const Tables& LoadedTables() const;
    QString PathOf(const QString& relative) const;
    QImage LoadImageFile(const QString& folder, int id) const;

    QString m_name;
    mutable std::once_flag m_loadOnce;
    mutable Tables m_tables;
};

// The module that a caller naming none searches: the program's own ("vellumdeck") until
// the program chooses another. Safe to call from any thread.
const ResourceModule& GetResourceModule();
void SetResourceModule(const ResourceModule& module);

// An instance handle names the module whose resources a call uses; null means the
// current module above.
using HINSTANCE = const ResourceModule*;
inline const ResourceModule& ModuleOf(HINSTANCE instance)
{
    return instance != nullptr ? *instance : GetResourceModule();
}

// The program's module name.
inline const QString kProgramResourceModule = QStringLiteral("vellumdeck");
