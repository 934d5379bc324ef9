// SPDX-License-Identifier: GPL-2.0-or-later
#include "ResourceModule.h"

#include "ResourceReader.h"

#include <QFile>
#include <QtDebug>

#include <atomic>

namespace {

QByteArray ReadWhole(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A module without a table of that kind simply has none; a table that is there but does not
// read is a fault of the data worth a warning.
template <typename Table, typename Reader>
void LoadTable(const QString& path, Table& table, Reader reader)
{
    if (!QFile::exists(path))
        return;
    QString error;
    if (!reader(ReadWhole(path), table, &error))
        qWarning("resource table %s: %s", qPrintable(path), qPrintable(error));
}

template <typename Item>
std::optional<Item> FindById(const std::vector<Item>& items, int id)
{
    for (const Item& item : items) {
        if (item.id == id)
            return item;
    }
    return std::nullopt;
}

std::atomic<const ResourceModule*> g_currentModule{nullptr};

} // namespace

ResourceModule::ResourceModule(QString name) : m_name(std::move(name)) {}

const ResourceModule& ResourceModule::Named(const QString& name)
{
    static std::mutex lock;
    static std::map<QString, std::unique_ptr<ResourceModule>> modules;
    std::lock_guard guard(lock);
    std::unique_ptr<ResourceModule>& module = modules[name];
    if (!module)
        module = std::make_unique<ResourceModule>(name);
    return *module;
}

QString ResourceModule::PathOf(const QString& relative) const
{
    return QStringLiteral(":/%1/%2").arg(m_name, relative);
}

const ResourceModule::Tables& ResourceModule::LoadedTables() const
{
    std::call_once(m_loadOnce, [this] {
        LoadTable(PathOf("dialogs.json"), m_tables.dialogs, ResourceReader::ReadDialogs);
        LoadTable(PathOf("menus.json"), m_tables.menus, ResourceReader::ReadMenus);
        LoadTable(PathOf("accelerators.json"), m_tables.accelerators, ResourceReader::ReadAccelerators);
        LoadTable(PathOf("strings.json"), m_tables.strings, ResourceReader::ReadStrings);
    });
    return m_tables;
}

QImage ResourceModule::LoadImageFile(const QString& folder, int id) const
{
    for (const char* extension : {"bmp", "png"}) {
        const QString path = PathOf(QStringLiteral("%1/%2.%3").arg(folder).arg(id).arg(extension));
        if (QFile::exists(path))
            return QImage(path);
    }
    return {};
}

QImage ResourceModule::LoadBitmap(int id) const
{
    return LoadImageFile(QStringLiteral("bitmaps"), id);
}

QImage ResourceModule::LoadIcon(int id) const
{
    return LoadImageFile(QStringLiteral("icons"), id);
}

std::optional<QString> ResourceModule::LoadString(int id) const
{
    const std::map<int, QString>& strings = LoadedTables().strings;
    const auto found = strings.find(id);
    if (found == strings.end())
        return std::nullopt;
    return found->second;
}

std::optional<MenuTemplate> ResourceModule::LoadMenu(int id) const
{
    return FindById(LoadedTables().menus, id);
}

std::optional<AcceleratorTable> ResourceModule::LoadAccelerators(int id) const
{
    return FindById(LoadedTables().accelerators, id);
}

std::optional<DialogTemplate> ResourceModule::LoadDialog(int id) const
{
    return FindById(LoadedTables().dialogs, id);
}

std::vector<DialogTemplate> ResourceModule::Dialogs() const
{
    return LoadedTables().dialogs;
}

const ResourceModule& GetResourceModule()
{
    const ResourceModule* module = g_currentModule.load();
    return module != nullptr ? *module : ResourceModule::Named(kProgramResourceModule);
}

void SetResourceModule(const ResourceModule& module)
{
    g_currentModule.store(&module);
}
