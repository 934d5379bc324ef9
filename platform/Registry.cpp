// SPDX-License-Identifier: GPL-2.0-or-later
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

// Each value is one line under its key's path, holding its type and its exact bytes:
//   [Software]
//   Quorvane\Vellumdeck\Height=dword:0000000c    REG_DWORD of 4 bytes
//   Quorvane\Vellumdeck\FontName=sz:Tahoma       REG_SZ of 2 x characters bytes, no terminator
//   Quorvane\Vellumdeck\Blob=hex(3):0a0b0c       any other type or length, byte for byte
// A key that has no values yet is kept by a marker value named ".".
struct RegistryKey
{
    QString path;   // '/'-separated below HKEY_CURRENT_USER; empty for the root
    bool predefined = false;
};

namespace {

RegistryKey s_currentUser{QString(), true};

const QString kKeyMarker = QStringLiteral(".");
const QString kDwordPrefix = QStringLiteral("dword:");
const QString kStringPrefix = QStringLiteral("sz:");
const QString kHexPrefix = QStringLiteral("hex(");
const QString kHexTypeEnd = QStringLiteral("):");
const QString kRelativeFile = QStringLiteral("/vellumdeck/registry.ini");
// The previous file while a new one is written.
const QString kKeptSuffix = QStringLiteral(".previous");
constexpr DWORD kDwordBytes = 4;
constexpr int kDwordHexDigits = 8;
constexpr int kHexBase = 16;
constexpr qsizetype kUtf16UnitBytes = 2;

// What tells a file's version apart from any other: a write, a rename over it and
// a change of size all change it.
struct FileVersion
{
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const FileVersion& o) const
    {
        return device == o.device && inode == o.inode && size == o.size && modified.tv_sec == o.modified.tv_sec &&
               modified.tv_nsec == o.modified.tv_nsec && changed.tv_sec == o.changed.tv_sec &&
               changed.tv_nsec == o.changed.tv_nsec;
    }
};

std::optional<FileVersion> VersionOf(const QString& path)
{
    struct stat info{};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return FileVersion{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

struct RegistryState
{
    // Serialises every access of this process; other processes are kept apart by
    // QSettings' own lock file.
    std::mutex lock;
    std::mutex pathLock;
    QString overriddenPath;
    // The last version of the settings file found to hold nothing QSettings must not
    // read: it is not read again until it changes.
    QString checkedPath;
    FileVersion checkedVersion;
    // For a file that holds such values: what QSettings read of a copy without them,
    // kept for the reads that follow while the file stays as it is.
    QString copiedPath;
    FileVersion copiedVersion;
    std::unique_ptr<QSettings> copied;
};

RegistryState& State()
{
    static RegistryState state;
    return state;
}

QString JoinKeyPath(const QString& parent, const QString& subKey)
{
    QStringList parts = parent.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    parts += subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('/'));
}

// A value name may hold any character; those QSettings reads as group separators
// are escaped, and so is a name equal to the key marker.
QString EncodeValueName(const QString& name)
{
    QString encoded = name;
    encoded.replace(QLatin1Char('%'), QLatin1String("%25"));
    encoded.replace(QLatin1Char('/'), QLatin1String("%2F"));
    encoded.replace(QLatin1Char('\\'), QLatin1String("%5C"));
    if (encoded == kKeyMarker)
        encoded = QStringLiteral("%2E");
    return encoded;
}

bool IsDisplayableString(DWORD type, const QByteArray& bytes)
{
    if (type != REG_SZ || bytes.size() % kUtf16UnitBytes != 0)
        return false;
    const QString text(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / kUtf16UnitBytes);
    return !text.contains(QChar(0)) && text.isValidUtf16();
}

QString EncodeValue(DWORD type, const QByteArray& bytes)
{
    if (type == REG_DWORD && bytes.size() == kDwordBytes) {
        DWORD number = 0;
        std::memcpy(&number, bytes.constData(), kDwordBytes);
        return kDwordPrefix + QStringLiteral("%1").arg(number, kDwordHexDigits, kHexBase, QLatin1Char('0'));
    }
    if (IsDisplayableString(type, bytes))
        return kStringPrefix + QString(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / kUtf16UnitBytes);
    return kHexPrefix + QString::number(type) + kHexTypeEnd + QString::fromLatin1(bytes.toHex());
}

bool DecodeDword(const QString& digits, QByteArray* bytes)
{
    if (digits.isEmpty() || digits.size() > kDwordHexDigits)
        return false;
    bool ok = false;
    const DWORD number = digits.toUInt(&ok, kHexBase);
    if (!ok)
        return false;
    bytes->resize(kDwordBytes);
    std::memcpy(bytes->data(), &number, kDwordBytes);
    return true;
}

bool DecodeHex(const QString& text, DWORD* type, QByteArray* bytes)
{
    const qsizetype end = text.indexOf(kHexTypeEnd);
    if (end < 0)
        return false;
    bool ok = false;
    *type = text.mid(kHexPrefix.size(), end - kHexPrefix.size()).toUInt(&ok);
    const QString digits = text.mid(end + kHexTypeEnd.size());
    if (!ok || digits.size() % 2 != 0)
        return false;
    for (QChar c : digits) {
        const bool hex = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
                         (c >= QLatin1Char('a') && c <= QLatin1Char('f')) ||
                         (c >= QLatin1Char('A') && c <= QLatin1Char('F'));
        if (!hex)
            return false;
    }
    *bytes = QByteArray::fromHex(digits.toLatin1());
    return true;
}

// False for anything that is not one of the forms above (a hand-edited file, a
// value of another program): such a value reads as missing.
bool DecodeValue(const QVariant& stored, DWORD* type, QByteArray* bytes)
{
    QString text;
    if (stored.typeId() == QMetaType::QString)
        text = stored.toString();
    else if (stored.typeId() == QMetaType::QStringList)
        text = stored.toStringList().join(QLatin1Char(','));   // an unquoted comma
    else
        return false;

    if (text.startsWith(kDwordPrefix)) {
        *type = REG_DWORD;
        return DecodeDword(text.mid(kDwordPrefix.size()), bytes);
    }
    if (text.startsWith(kStringPrefix)) {
        const QString value = text.mid(kStringPrefix.size());
        *type = REG_SZ;
        *bytes = QByteArray(reinterpret_cast<const char*>(value.utf16()), value.size() * kUtf16UnitBytes);
        return true;
    }
    if (text.startsWith(kHexPrefix))
        return DecodeHex(text, type, bytes);
    return false;
}

// ---- Values QSettings must not read ----------------------------------------------
//
// QSettings reads a value of the form "@Variant(...)" (or "@DateTime(...)") with
// QDataStream, which believes the counts it finds there: a few bytes can make it
// allocate gigabytes, and it parses every value of the file as soon as one is asked
// for. The registry writes strings only, which QSettings would write as "@@..." were
// they to start with '@', so a value that starts with a single '@' comes from
// elsewhere and is of no type the registry reads (it reads as missing in any case).
// Such values are found in the file's bytes before QSettings sees them, following
// its INI syntax: lines end at a line break or ';' outside quotes, a backslash
// escapes what follows, the value after the first '=' is a list at its unquoted
// commas, and each item may start with blanks and quotes. An item that then starts
// with '@' (other than "@@"), or with an escape that could stand for one, is refused.

struct LineExtent
{
    qsizetype start = 0;
    qsizetype length = 0;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool IsLineBreak(char c)
{
    return c == '\n' || c == '\r';
}

// The next line from pos on, as QSettings splits the file; *equals is the position
// of its first unquoted '=' (-1 without one). False at the end of the data.
bool NextIniLine(const QByteArray& data, qsizetype* pos, LineExtent* line, qsizetype* equals)
{
    const qsizetype size = data.size();
    qsizetype start = *pos;
    while (start < size && (IsBlank(data[start]) || IsLineBreak(data[start])))
        ++start;
    *equals = -1;
    bool quoted = false;
    qsizetype i = start;
    while (i < size) {
        const char c = data[i++];
        if (c == '=' && !quoted && *equals < 0) {
            *equals = i - 1;
        } else if (IsLineBreak(c)) {
            if (i == start + 1) {
                ++start;
            } else if (!quoted) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < size) {
                const char escaped = data[i++];
                if (i < size && IsLineBreak(escaped) && IsLineBreak(data[i]) && data[i] != escaped)
                    ++i;
            }
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < size && !IsLineBreak(data[i]))
                    ++i;
                start = i;
            } else if (!quoted) {
                --i;
                break;
            }
        }
    }
    *pos = i;
    line->start = start;
    line->length = i - start;
    return line->length > 0;
}

// Whether an item of the value [from, to) would start with a lone '@'.
bool HoldsTypedItem(const QByteArray& data, qsizetype from, qsizetype to)
{
    bool itemStart = true;
    bool quoted = false;
    for (qsizetype i = from; i < to; ++i) {
        const char c = data[i];
        if (itemStart) {
            if (IsBlank(c))
                continue;
            if (c == '"') {
                quoted = !quoted;
                continue;
            }
            if (c == '\\' || (c == '@' && (i + 1 >= to || data[i + 1] != '@')))
                return true;
            itemStart = false;
        }
        if (c == '\\')
            ++i;
        else if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            itemStart = true;
    }
    return false;
}

// The lines of the file whose values QSettings must not read.
std::vector<LineExtent> TypedValueLines(const QByteArray& data)
{
    std::vector<LineExtent> lines;
    qsizetype pos = 0;
    LineExtent line;
    qsizetype equals = -1;
    while (NextIniLine(data, &pos, &line, &equals)) {
        if (equals >= 0 && data[line.start] != '[' && HoldsTypedItem(data, equals + 1, line.start + line.length))
            lines.push_back(line);
    }
    return lines;
}

QByteArray WithoutLines(const QByteArray& data, const std::vector<LineExtent>& lines)
{
    QByteArray kept;
    qsizetype from = 0;
    for (const LineExtent& line : lines) {
        kept += data.mid(from, line.start - from);
        from = line.start + line.length;
    }
    return kept + data.mid(from);
}

// The settings file through QSettings: the file itself, or, when it holds values
// QSettings must not read, a copy without them beside it (a name of its own, so that
// QSettings parses it afresh). A store to write in puts the copy in the file's place
// and removes it otherwise; for reading, the copy's file goes as soon as QSettings has
// read it, and what it read serves every read until the file changes. Every use
// holds the registry's lock.
class SettingsStore
{
public:
    enum class Use { Read, Write };
    explicit SettingsStore(Use use);
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // False when the file holds what QSettings must not read and no copy could be made.
    bool IsOpen() const { return m_settings != nullptr; }
    QSettings& operator*() { return *m_settings; }
    QSettings* operator->() { return m_settings; }
    // Writes the pending changes to the file and tells whether they are there.
    LONG Commit();

private:
    bool ReadsWhole(Use use);
    std::unique_ptr<QSettings> OpenCopyWithout(const QByteArray& data, const std::vector<LineExtent>& lines);
    LONG CommitCopy();

    QString m_path;
    QString m_copy;   // the copy's file while it is there
    std::unique_ptr<QSettings> m_owned;
    QSettings* m_settings = nullptr;   // m_owned or the registry's kept copy
};

bool KeyExists(QSettings& store, const QString& path)
{
    if (path.isEmpty())
        return true;
    store.beginGroup(path);
    const bool exists = !store.childKeys().isEmpty() || !store.childGroups().isEmpty();
    store.endGroup();
    return exists;
}

// True when the file at path, read afresh, holds every value of store as it is.
bool ReadsBackWhole(const QSettings& store, const QString& path)
{
    // A name QSettings has never seen, so that it parses the file instead of
    // answering from its cache.
    static std::atomic<unsigned> s_checks{0};
    const QString check = path + QStringLiteral(".check-%1-%2").arg(::getpid()).arg(++s_checks);
    if (::link(QFile::encodeName(path).constData(), QFile::encodeName(check).constData()) != 0)
        return false;
    bool whole = true;
    {
        const QSettings written(check, QSettings::IniFormat);
        const QStringList keys = store.allKeys();
        whole = written.status() == QSettings::NoError && written.allKeys().size() == keys.size();
        for (qsizetype i = 0; whole && i < keys.size(); ++i)
            whole = written.value(keys[i]) == store.value(keys[i]);
    }
    QFile::remove(check);
    return whole;
}

SettingsStore::SettingsStore(Use use) : m_path(Registry::FilePath())
{
    if (!ReadsWhole(use))
        return;
    m_owned = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    m_settings = m_owned.get();
}

SettingsStore::~SettingsStore()
{
    m_owned.reset();
    if (!m_copy.isEmpty())
        QFile::remove(m_copy);
}

// True when QSettings may read the file itself; otherwise the store is opened on a
// copy without what it must not read, or not at all when no copy can be made.
bool SettingsStore::ReadsWhole(Use use)
{
    RegistryState& state = State();
    const std::optional<FileVersion> version = VersionOf(m_path);
    if (!version || (state.checkedPath == m_path && state.checkedVersion == *version))
        return true;
    if (use == Use::Read && state.copied && state.copiedPath == m_path && state.copiedVersion == *version) {
        m_settings = state.copied.get();
        return false;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return true;   // QSettings reads nothing either
    const QByteArray data = file.readAll();
    const std::vector<LineExtent> lines = TypedValueLines(data);
    if (lines.empty()) {
        state.checkedPath = m_path;
        state.checkedVersion = *version;
        return true;
    }
    std::unique_ptr<QSettings> copy = OpenCopyWithout(data, lines);
    if (use == Use::Read && copy) {
        QFile::remove(m_copy);
        m_copy.clear();
        state.copied = std::move(copy);
        state.copiedPath = m_path;
        state.copiedVersion = *version;
        m_settings = state.copied.get();
    } else {
        m_owned = std::move(copy);
        m_settings = m_owned.get();
    }
    return false;
}

std::unique_ptr<QSettings> SettingsStore::OpenCopyWithout(const QByteArray& data,
                                                          const std::vector<LineExtent>& lines)
{
    static std::atomic<unsigned> s_copies{0};
    const QByteArray kept = WithoutLines(data, lines);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString copy = m_path + QStringLiteral(".readable-%1-%2").arg(::getpid()).arg(++s_copies);
        QFile file(copy);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists())
                continue;   // left behind by an earlier process of the same number
            return nullptr;
        }
        m_copy = copy;
        if (file.write(kept) != kept.size() || !file.flush())
            return nullptr;
        file.close();
        return std::make_unique<QSettings>(copy, QSettings::IniFormat);
    }
    return nullptr;
}

// When the disk fills, QSaveFile puts a short file in the old one's place as if it
// were whole (the file engine reports a short count, not an error), so the old file
// is kept under a second name until the new one has read back whole, and is put
// back when it has not.
LONG SettingsStore::Commit()
{
    if (!m_copy.isEmpty())
        return CommitCopy();
    if (!QDir().mkpath(QFileInfo(m_path).absolutePath()))
        return ERROR_ACCESS_DENIED;
    const QString kept = m_path + kKeptSuffix;
    QFile::remove(kept);
    const bool keptOld = ::link(QFile::encodeName(m_path).constData(), QFile::encodeName(kept).constData()) == 0;
    m_settings->sync();
    bool written = m_settings->status() != QSettings::AccessError;
    if (written && !ReadsBackWhole(*m_settings, m_path)) {
        written = false;
        if (keptOld && ::rename(QFile::encodeName(kept).constData(), QFile::encodeName(m_path).constData()) == 0)
            return ERROR_ACCESS_DENIED;
        QFile::remove(m_path);   // better no file than a cut one: its values read as missing
    }
    if (keptOld)
        QFile::remove(kept);
    return written ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// The copy, written and read back whole, replaces the file at once; until then the
// file is as it was.
LONG SettingsStore::CommitCopy()
{
    m_settings->sync();
    if (m_settings->status() == QSettings::AccessError || !ReadsBackWhole(*m_settings, m_copy))
        return ERROR_ACCESS_DENIED;
    m_owned.reset();
    m_settings = nullptr;
    if (::rename(QFile::encodeName(m_copy).constData(), QFile::encodeName(m_path).constData()) != 0)
        return ERROR_ACCESS_DENIED;
    m_copy.clear();
    return ERROR_SUCCESS;
}

bool IsValid(HKEY key)
{
    return key != nullptr;
}

}  // namespace

const HKEY HKEY_CURRENT_USER = &s_currentUser;

LONG RegCreateKeyExW(HKEY parent, const QString& subKey, HKEY* result, DWORD* disposition)
{
    if (!IsValid(parent) || !result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const QString path = JoinKeyPath(parent->path, subKey);

    std::lock_guard<std::mutex> guard(State().lock);
    bool existed = false;
    {
        SettingsStore store(SettingsStore::Use::Read);
        if (!store.IsOpen())
            return ERROR_ACCESS_DENIED;
        existed = KeyExists(*store, path);
    }
    if (!existed) {
        SettingsStore store(SettingsStore::Use::Write);
        if (!store.IsOpen())
            return ERROR_ACCESS_DENIED;
        store->beginGroup(path);
        store->setValue(kKeyMarker, QString());
        store->endGroup();
        const LONG written = store.Commit();
        if (written != ERROR_SUCCESS)
            return written;
    }
    if (disposition)
        *disposition = existed ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
    *result = new RegistryKey{path, false};
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExW(HKEY parent, const QString& subKey, HKEY* result)
{
    if (!IsValid(parent) || !result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    const QString path = JoinKeyPath(parent->path, subKey);

    std::lock_guard<std::mutex> guard(State().lock);
    SettingsStore store(SettingsStore::Use::Read);
    if (!store.IsOpen() || !KeyExists(*store, path))
        return ERROR_FILE_NOT_FOUND;
    *result = new RegistryKey{path, false};
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, const QString& name, DWORD* type, BYTE* data, DWORD* size)
{
    if (!IsValid(key))
        return ERROR_INVALID_HANDLE;
    if (data && !size)
        return ERROR_INVALID_PARAMETER;

    QVariant stored;
    {
        std::lock_guard<std::mutex> guard(State().lock);
        SettingsStore store(SettingsStore::Use::Read);
        if (!store.IsOpen())
            return ERROR_FILE_NOT_FOUND;
        store->beginGroup(key->path);
        stored = store->value(EncodeValueName(name));
        store->endGroup();
    }
    DWORD storedType = REG_NONE;
    QByteArray bytes;
    if (!stored.isValid() || !DecodeValue(stored, &storedType, &bytes))
        return ERROR_FILE_NOT_FOUND;

    const auto needed = static_cast<DWORD>(bytes.size());
    if (type)
        *type = storedType;
    if (!data) {
        if (size)
            *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    std::memcpy(data, bytes.constData(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LONG RegSetValueExW(HKEY key, const QString& name, DWORD type, const BYTE* data, DWORD size)
{
    if (!IsValid(key))
        return ERROR_INVALID_HANDLE;
    if (!data && size != 0)
        return ERROR_INVALID_PARAMETER;
    const QByteArray bytes = size ? QByteArray(reinterpret_cast<const char*>(data), size) : QByteArray();

    std::lock_guard<std::mutex> guard(State().lock);
    SettingsStore store(SettingsStore::Use::Write);
    if (!store.IsOpen())
        return ERROR_ACCESS_DENIED;
    store->beginGroup(key->path);
    store->setValue(EncodeValueName(name), EncodeValue(type, bytes));
    store->endGroup();
    return store.Commit();
}

LONG RegCloseKey(HKEY key)
{
    if (!IsValid(key))
        return ERROR_INVALID_HANDLE;
    if (!key->predefined)
        delete key;
    return ERROR_SUCCESS;
}

namespace Registry {

QString FilePath()
{
    RegistryState& state = State();
    {
        std::lock_guard<std::mutex> guard(state.pathLock);
        if (!state.overriddenPath.isEmpty())
            return state.overriddenPath;
    }
    const QString configured = qEnvironmentVariable("VELLUMDECK_REGISTRY");
    if (!configured.isEmpty())
        return configured;
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + kRelativeFile;
}

void SetFilePath(const QString& path)
{
    RegistryState& state = State();
    std::lock_guard<std::mutex> guard(state.pathLock);
    state.overriddenPath = path;
}

}  // namespace Registry
