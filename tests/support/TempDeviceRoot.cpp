// SPDX-License-Identifier: GPL-2.0-or-later
#include "TempDeviceRoot.h"

#include "DevicePath.h"
#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

TempDeviceRoot::TempDeviceRoot()
{
    DevicePath::SetRoot(m_dir.path());
    Registry::SetFilePath(m_dir.path() + "/registry.ini");
}

TempDeviceRoot::~TempDeviceRoot()
{
    DevicePath::SetRoot(QString());
    Registry::SetFilePath(QString());
}

QString TempDeviceRoot::Host(const QString& devicePath) const
{
    return DevicePath::ToHost(devicePath);
}

bool TempDeviceRoot::WriteFile(const QString& devicePath, const QByteArray& bytes) const
{
    const QString host = Host(devicePath);
    if (!QDir().mkpath(QFileInfo(host).absolutePath()))
        return false;
    QFile file(host);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

QByteArray TempDeviceRoot::ReadFile(const QString& path) const
{
    QFile file(Host(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString TestDataPath(const QString& name)
{
    return QStringLiteral(VD_TEST_DATA_DIR "/") + name;
}
