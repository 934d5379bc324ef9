#pragma once
// Reading the committed resource files of the source tree in tests.

#include <QByteArray>
#include <QString>

// The host path of a file under the source tree, such as "resources/sounds/menusel.wav".
QString SourcePath(const QString& relative);
// The bitmap "<id>-*.bmp" in a folder of the source tree; empty when there is not
// exactly one.
QString BitmapPath(const QString& folder, int id);
QByteArray ReadAll(const QString& path);
// A little-endian field of a binary header.
quint32 LittleEndian(const QByteArray& bytes, int offset, int size);
