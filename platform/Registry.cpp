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

struct RegistryState
{
    // Serialises every access of this process; other processes are kept apart by
    // QSettings' own lock file.
    std::mutex lock;
    std::mutex pathLock;
    QString overriddenPath;
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

std::unique_ptr<QSettings> OpenStore()
{
    return std::make_unique<QSettings>(Registry::FilePath(), QSettings::IniFormat);
}

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

// Writes the pending changes to the file and tells whether they are there. When
// the disk fills, QSaveFile puts a short file in the old one's place as if it were
// whole (the file engine reports a short count, not an error), so the old file is
// kept under a second name until the new one has read back whole, and is put back
// when it has not.
LONG Commit(QSettings& store)
{
    const QString path = store.fileName();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return ERROR_ACCESS_DENIED;
    const QString kept = path + kKeptSuffix;
    QFile::remove(kept);
    const bool keptOld = ::link(QFile::encodeName(path).constData(), QFile::encodeName(kept).constData()) == 0;
    store.sync();
    bool written = store.status() != QSettings::AccessError;
    if (written && !ReadsBackWhole(store, path)) {
        written = false;
        if (keptOld && ::rename(QFile::encodeName(kept).constData(), QFile::encodeName(path).constData()) == 0)
            return ERROR_ACCESS_DENIED;
        QFile::remove(path);   // better no file than a cut one: its values read as missing
    }
    if (keptOld)
        QFile::remove(kept);
    return written ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
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
    auto store = OpenStore();
    const bool existed = KeyExists(*store, path);
    if (!existed) {
        store->beginGroup(path);
        store->setValue(kKeyMarker, QString());
        store->endGroup();
        const LONG written = Commit(*store);
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
    auto store = OpenStore();
    if (!KeyExists(*store, path))
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
        auto store = OpenStore();
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
    auto store = OpenStore();
    store->beginGroup(key->path);
    store->setValue(EncodeValueName(name), EncodeValue(type, bytes));
    store->endGroup();
    return Commit(*store);
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
