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
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

#include <optional>
#include <utility>

namespace {

QString SourcePath(const QString& relative)
{
    return QDir(VD_SOURCE_DIR).filePath(relative);
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The header's constants by name, and the ranges it declares as NAME_FIRST..NAME_LAST.
struct HeaderIds
{
    QMap<QString, int> byName;
    QSet<int> values;
    QList<QPair<int, int>> ranges;

    bool Defines(int id) const
    {
        if (values.contains(id))
            return true;
        for (const auto& [first, last] : ranges) {
            if (id >= first && id <= last)
                return true;
        }
        return false;
    }
};

HeaderIds ReadHeader()
{
    HeaderIds ids;
    const QString text = QString::fromUtf8(ReadAll(SourcePath(QStringLiteral("resources/resource.h"))));
    static const QRegularExpression constant(
        QStringLiteral(R"(constexpr int (\w+) = (-?(?:0x[0-9A-Fa-f]+|\d+));)"));
    for (auto match = constant.globalMatch(text); match.hasNext();) {
        const QRegularExpressionMatch m = match.next();
        bool ok = false;
        const int value = m.captured(2).toInt(&ok, 0);
        if (ok) {
            ids.byName.insert(m.captured(1), value);
            ids.values.insert(value);
        }
    }
    for (auto it = ids.byName.cbegin(); it != ids.byName.cend(); ++it) {
        if (it.key().endsWith(QStringLiteral("_FIRST"))) {
            const QString last = it.key().chopped(5) + QStringLiteral("LAST");
            if (ids.byName.contains(last))
                ids.ranges.append({it.value(), ids.byName.value(last)});
        }
    }
    return ids;
}

// The framework's own ids, which the tables use by name and resource.h leaves to it.
const QMap<QString, int> kFrameworkIds = {{QStringLiteral("IDOK"), IDOK}, {QStringLiteral("IDCANCEL"), IDCANCEL}};

// Every problem found, one line each, so that a failure names them all.
class IdCheck
{
public:
    explicit IdCheck(const HeaderIds& header) : m_header(header) {}

    // An id given with its name: the header (or the framework) has the name, with that value.
    void Named(const QString& where, const QString& name, int id)
    {
        std::optional<int> known;
        if (m_header.byName.contains(name))
            known = m_header.byName.value(name);
        else if (kFrameworkIds.contains(name))
            known = kFrameworkIds.value(name);
        if (!known)
            m_problems << QStringLiteral("%1: %2 (%3) is not in resource.h").arg(where, name).arg(id);
        else if (*known != id)
            m_problems << QStringLiteral("%1: %2 is %3 here but %4 in resource.h").arg(where, name).arg(id).arg(*known);
    }

    // An id given by number alone: the header defines it, or a range of its takes it in.
    void Numbered(const QString& where, int id)
    {
        if (!m_header.Defines(id))
            m_problems << QStringLiteral("%1: %2 is not defined in resource.h").arg(where).arg(id);
    }

    void Commands(const QString& where, const QJsonArray& items)
    {
        for (const QJsonValue& item : items) {
            const QJsonObject object = item.toObject();
            if (object.contains(QStringLiteral("command")))
                Numbered(where, object.value(QStringLiteral("command")).toInt());
            Commands(where, object.value(QStringLiteral("items")).toArray());
            Commands(where, object.value(QStringLiteral("popups")).toArray());
            Commands(where, object.value(QStringLiteral("entries")).toArray());
        }
    }

    const QStringList& Problems() const { return m_problems; }

private:
    const HeaderIds& m_header;
    QStringList m_problems;
};

QJsonArray Table(const QString& file, const QString& key)
{
    const QByteArray bytes = ReadAll(SourcePath(QStringLiteral("resources/") + file));
    return QJsonDocument::fromJson(bytes).object().value(key).toArray();
}

QString NameOf(const QJsonObject& object)
{
    return object.value(QStringLiteral("name")).toString();
}

int IdOf(const QJsonObject& object)
{
    return object.value(QStringLiteral("id")).toInt();
}

}  // namespace

TEST(ResourceIds, TheHeaderReadsWhole)
{
    const HeaderIds header = ReadHeader();
    const QString text = QString::fromUtf8(ReadAll(SourcePath(QStringLiteral("resources/resource.h"))));
    // Every constant of the header is one the reader took; otherwise a check below
    // would pass over it.
    EXPECT_EQ(header.byName.size(), text.count(QStringLiteral("constexpr int ")));
    EXPECT_EQ(header.byName.value(QStringLiteral("AFX_IDS_APP_TITLE")), 0xE000);
    EXPECT_FALSE(header.ranges.isEmpty());
}

TEST(ResourceIds, EveryIdOfTheTablesAndFilesIsTheHeadersOwn)
{
    const HeaderIds header = ReadHeader();
    ASSERT_FALSE(header.byName.isEmpty());
    IdCheck check(header);

    for (const QJsonValue& value : Table(QStringLiteral("dialogs.json"), QStringLiteral("dialogs"))) {
        const QJsonObject dialog = value.toObject();
        const QString where = QStringLiteral("dialogs.json ") + NameOf(dialog);
        check.Named(where, NameOf(dialog), IdOf(dialog));
        for (const QJsonValue& control : dialog.value(QStringLiteral("controls")).toArray()) {
            const QJsonObject object = control.toObject();
            check.Named(where, NameOf(object), IdOf(object));
            if (object.contains(QStringLiteral("image")))
                check.Numbered(where + QStringLiteral(" image"), object.value(QStringLiteral("image")).toInt());
        }
    }
    for (const auto& [file, key] : {std::pair{QStringLiteral("menus.json"), QStringLiteral("menus")},
                                    std::pair{QStringLiteral("accelerators.json"), QStringLiteral("accelerators")},
                                    std::pair{QStringLiteral("strings.json"), QStringLiteral("strings")}}) {
        const QJsonArray tables = Table(file, key);
        EXPECT_FALSE(tables.isEmpty()) << file.toStdString();
        for (const QJsonValue& value : tables) {
            const QJsonObject table = value.toObject();
            const QString where = file + QLatin1Char(' ') + NameOf(table);
            check.Named(where, NameOf(table), IdOf(table));
            check.Commands(where, {table});
        }
    }
    // Bitmaps and icons carry their id at the front of the file name.
    for (const QString& folder : {QStringLiteral("resources/bitmaps"), QStringLiteral("resources/icons")}) {
        const QStringList names =
            QDir(SourcePath(folder)).entryList({QStringLiteral("*.bmp"), QStringLiteral("*.png")}, QDir::Files);
        EXPECT_FALSE(names.isEmpty()) << folder.toStdString();
        for (const QString& name : names)
            check.Numbered(folder + QLatin1Char('/') + name, name.section(QLatin1Char('-'), 0, 0).toInt());
    }

    EXPECT_TRUE(check.Problems().isEmpty()) << check.Problems().join(QLatin1Char('\n')).toStdString();
}
