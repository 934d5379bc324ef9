// SPDX-License-Identifier: GPL-2.0-or-later
// The ids of the resource tables and files under resources/, read as text against the
// text of resources/resource.h: an id a table or file uses that the header does not
// define, or a name the header gives another value, would reach the program as a
// control, command or bitmap that nothing finds.
#include "Win32Defs.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <functional>

namespace {

QByteArray ReadSource(const QString& relative)
{
    QFile file(QDir(VD_SOURCE_DIR).filePath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

// Every problem found goes into one list, one line each, so that a failure names them all.
TEST(ResourceIds, EveryIdOfTheTablesAndFilesIsTheHeadersOwn)
{
    // The header's constants by name; NAME_FIRST..NAME_LAST declares a range.
    QMap<QString, int> header;
    const QString text = QString::fromUtf8(ReadSource("resources/resource.h"));
    static const QRegularExpression constant(R"(constexpr int (\w+) = (-?(?:0x[0-9A-Fa-f]+|\d+));)");
    for (auto match = constant.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        bool ok = false;
        const int value = m.captured(2).toInt(&ok, 0);
        if (ok)
            header.insert(m.captured(1), value);
    }
    ASSERT_FALSE(header.isEmpty());
    // The framework's own ids, which the tables use by name and resource.h leaves to it.
    const QMap<QString, int> framework = {{"IDOK", IDOK}, {"IDCANCEL", IDCANCEL}};

    QStringList problems;
    // An id given with its name: the header (or the framework) has the name, with that value.
    const auto named = [&](const QString& where, const QString& name, int id) {
        const QMap<QString, int>& known = header.contains(name) ? header : framework;
        if (!known.contains(name))
            problems << QString("%1: %2 (%3) is not in resource.h").arg(where, name).arg(id);
        else if (known.value(name) != id)
            problems << QString("%1: %2 is %3 here but %4 in resource.h").arg(where, name).arg(id).arg(known.value(name));
    };
    // An id given by number alone: the header defines it, or a range of its takes it in.
    const auto numbered = [&](const QString& where, int id) {
        bool defined = header.values().contains(id);
        for (auto it = header.cbegin(); !defined && it != header.cend(); ++it) {
            const QString last = it.key().chopped(5) + "LAST";
            defined = it.key().endsWith("_FIRST") && header.contains(last) && id >= it.value() &&
                      id <= header.value(last);
        }
        if (!defined)
            problems << QString("%1: %2 is not defined in resource.h").arg(where).arg(id);
    };
    const std::function<void(const QString&, const QJsonArray&)> commands = [&](const QString& where,
                                                                                  const QJsonArray& items) {
        for (const QJsonValue& item : items) {
            const QJsonObject object = item.toObject();
            if (object.contains("command"))
                numbered(where, object.value("command").toInt());
            for (const char* nested : {"items", "popups", "entries"})
                commands(where, object.value(nested).toArray());
        }
    };
    const auto table = [](const QString& file, const QString& key) {
        return QJsonDocument::fromJson(ReadSource("resources/" + file)).object().value(key).toArray();
    };
    const auto name = [](const QJsonObject& object) { return object.value("name").toString(); };
    const auto id = [](const QJsonObject& object) { return object.value("id").toInt(); };

    for (const QJsonValue& value : table("dialogs.json", "dialogs")) {
        const QJsonObject dialog = value.toObject();
        const QString where = "dialogs.json " + name(dialog);
        named(where, name(dialog), id(dialog));
        for (const QJsonValue& control : dialog.value("controls").toArray()) {
            const QJsonObject object = control.toObject();
            named(where, name(object), id(object));
            if (object.contains("image"))
                numbered(where + " image", object.value("image").toInt());
        }
    }
    for (const char* file : {"menus", "accelerators", "strings"}) {
        const QJsonArray tables = table(QString(file) + ".json", file);
        EXPECT_FALSE(tables.isEmpty()) << file;
        for (const QJsonValue& value : tables) {
            const QString where = QString(file) + ".json " + name(value.toObject());
            named(where, name(value.toObject()), id(value.toObject()));
            commands(where, {value});
        }
    }
    // Bitmaps and icons carry their id at the front of the file name.
    for (const QString folder : {"resources/bitmaps", "resources/icons"}) {
        const QStringList files = QDir(QDir(VD_SOURCE_DIR).filePath(folder)).entryList({"*.bmp", "*.png"}, QDir::Files);
        EXPECT_FALSE(files.isEmpty()) << folder.toStdString();
        for (const QString& file : files)
            numbered(folder + '/' + file, file.section('-', 0, 0).toInt());
    }
    EXPECT_TRUE(problems.isEmpty()) << problems.join('\n').toStdString();
}
