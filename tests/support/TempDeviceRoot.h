// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A fresh device folder and settings file for one test: every device path maps under
// a temporary folder, the registry is a file inside it, and both are restored and
// removed when the object goes away.

#include <QString>
#include <QTemporaryDir>

class TempDeviceRoot
{
public:
    TempDeviceRoot();
    ~TempDeviceRoot();
    TempDeviceRoot(const TempDeviceRoot&) = delete;
    TempDeviceRoot& operator=(const TempDeviceRoot&) = delete;

    // The host folder standing for the device's root "\".
    QString Path() const { return m_dir.path(); }
    // The host path of a device path such as "\My documents\a.mp3".
    QString Host(const QString& devicePath) const;
    // Writes bytes to a device path, creating its folders. False on failure.
    bool WriteFile(const QString& devicePath, const QByteArray& bytes) const;
    // The bytes of a device or host path; empty if it cannot be read.
    QByteArray ReadFile(const QString& path) const;

private:
    QTemporaryDir m_dir;
};

// The host path of a file in tests/data.
QString TestDataPath(const QString& name);
