#include "ResourceFiles.h"

#include <QDir>
#include <QFile>

QString SourcePath(const QString& relative)
{
    return QDir(QStringLiteral(VD_SOURCE_DIR)).filePath(relative);
}

QString BitmapPath(const QString& folder, int id)
{
    const QDir dir(SourcePath(folder));
    const QStringList names = dir.entryList({QStringLiteral("%1-*.bmp").arg(id)}, QDir::Files);
    return names.size() == 1 ? dir.filePath(names.first()) : QString();
}

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint32 LittleEndian(const QByteArray& bytes, int offset, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes.at(offset + i));
    return value;
}
