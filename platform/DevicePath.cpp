// SPDX-License-Identifier: GPL-2.0-or-later
#include "DevicePath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStorageInfo>

#include <algorithm>
#include <mutex>

namespace {

const QString kMyDocuments = QStringLiteral("My documents");
const QString kWindows = QStringLiteral("Windows");
const QString kStorageCard = QStringLiteral("Storage Card");
const QString kStorageCard1 = QStringLiteral("Storage Card1");
const QString kStorageCard2 = QStringLiteral("Storage Card2");
// Where a card that is not there maps: a folder that cannot exist or be created,
// so every probe of the card fails as on a device without it.
const QString kAbsentVolume = QStringLiteral("/proc/vellumdeck-absent-volume");
const QString kDataFolderBelowProgram = QStringLiteral("/../share/vellumdeck");
constexpr char kRootVariable[] = "VELLUMDECK_ROOT";
// The kernel's table of what this process sees mounted, the one Qt reads for the volumes.
constexpr char kMountTable[] = "/proc/self/mountinfo";

struct Settings
{
    std::mutex lock;
    bool rootOverridden = false;
    QString root;
    QString dataFolder;
};

Settings& State()
{
    static Settings settings;
    return settings;
}

// The top-level device folders, spelled as the program spells them: the device's
// file system ignores case, so "\my Documents" is the same folder.
QString CanonicalTop(const QString& top)
{
    for (const QString* known : {&kMyDocuments, &kWindows, &kStorageCard, &kStorageCard1, &kStorageCard2}) {
        if (top.compare(*known, Qt::CaseInsensitive) == 0)
            return *known;
    }
    return top;
}

QString Join(const QString& base, const QString& rest)
{
    return rest.isEmpty() ? base : base + QLatin1Char('/') + rest;
}

// The mount points of ready removable volumes, in a stable order.
QStringList ReadRemovableVolumes()
{
    QStringList mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString mount = volume.rootPath();
        const bool removable = mount.startsWith(QLatin1String("/media/")) || mount.startsWith(QLatin1String("/run/media/"));
        if (removable && volume.isValid() && volume.isReady() && !volume.isRoot())
            mounts.append(mount);
    }
    std::sort(mounts.begin(), mounts.end());
    return mounts;
}

// The same, read again only when the mount table has changed. A playlist names the
// card on every line, and asking the system about each of its volumes for each line
// cost more than the rest of reading the playlist; the table's own text is one short
// read. Where the table cannot be read, the volumes are asked for every time.
QStringList RemovableVolumes()
{
    static std::mutex lock;
    static QByteArray lastTable;
    static QStringList lastVolumes;

    QFile tableFile(QString::fromLatin1(kMountTable));
    const QByteArray table = tableFile.open(QIODevice::ReadOnly) ? tableFile.readAll() : QByteArray();
    std::lock_guard<std::mutex> guard(lock);
    if (table.isEmpty() || table != lastTable) {
        lastVolumes = ReadRemovableVolumes();
        lastTable = table;
    }
    return lastVolumes;
}

QString CardFolder(int index, const QString& rest)
{
    const QStringList volumes = RemovableVolumes();
    if (index < volumes.size())
        return Join(volumes.at(index), rest);
    return Join(kAbsentVolume + QLatin1Char('/') + QString::number(index + 1), rest);
}

QString DataFolder()
{
    Settings& state = State();
    {
        std::lock_guard<std::mutex> guard(state.lock);
        if (!state.dataFolder.isEmpty())
            return state.dataFolder;
    }
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + kDataFolderBelowProgram);
}

QString MapWithoutRoot(const QString& top, const QString& rest)
{
    if (top == kMyDocuments)
        return Join(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation), rest);
    if (top == kStorageCard || top == kStorageCard1)
        return CardFolder(0, rest);
    if (top == kStorageCard2)
        return CardFolder(1, rest);
    if (top == kWindows)
        return Join(DataFolder(), rest);
    return Join(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), Join(top, rest));
}

}  // namespace

namespace DevicePath {

QString ToHost(const QString& path)
{
    if (path.startsWith(QLatin1Char('/')))
        return path;

    QString relative = path;
    relative.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // A path without a leading backslash ("Storage Card1\...") is resolved from the root.
    while (relative.startsWith(QLatin1Char('/')))
        relative.remove(0, 1);

    const qsizetype slash = relative.indexOf(QLatin1Char('/'));
    const QString top = CanonicalTop(slash < 0 ? relative : relative.left(slash));
    const QString rest = slash < 0 ? QString() : relative.mid(slash + 1);

    const QString root = Root();
    if (!root.isEmpty())
        return Join(Join(root, top), rest);
    return MapWithoutRoot(top, rest);
}

QString FromCommandLine(const QString& argument)
{
    if (argument.isEmpty() || argument.startsWith(QLatin1Char('\\')))
        return argument;
    // The folder is taken as the system takes it (a ".." after a link leads out of the
    // link's target); the file keeps the name given, so what lies beside a linked
    // recording is found beside the link.
    const QString absolute = QDir::current().absoluteFilePath(argument);
    const qsizetype slash = absolute.lastIndexOf(QLatin1Char('/'));
    const QString folder = QDir(absolute.left(std::max<qsizetype>(slash, 1))).canonicalPath();
    if (folder.isEmpty())
        return QDir::cleanPath(absolute);
    return QDir::cleanPath(folder + QLatin1Char('/') + absolute.mid(slash + 1));
}

QString Root()
{
    Settings& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    if (state.rootOverridden)
        return state.root;
    return qEnvironmentVariable(kRootVariable);
}

void SetRoot(const QString& root)
{
    Settings& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.rootOverridden = !root.isEmpty();
    state.root = root;
}

void SetDataFolder(const QString& folder)
{
    Settings& state = State();
    std::lock_guard<std::mutex> guard(state.lock);
    state.dataFolder = folder;
}

}  // namespace DevicePath
