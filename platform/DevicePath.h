// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// Device paths ("\My documents\...", "\Storage Card\...", "Storage Card1\...",
// "\Windows\...") mapped to host paths. Absolute host paths pass through unchanged.
// With a root (the program's --root DIR, else VELLUMDECK_ROOT=DIR) every device path
// maps under DIR; otherwise "\My documents" is the user's documents folder,
// "\Storage Card" and "Storage Card1" the first mounted removable volume,
// "\Storage Card2" the second, "\Windows" the program's data folder, and any other
// device path maps under the user's data folder for the program.

#include <QString>

namespace DevicePath {

QString ToHost(const QString& path);
// A path as a shell user gives it on a command line: a host path, made absolute against
// the working folder (and cleaned of "." and ".."). One written in the device's own form,
// beginning with a backslash ("\My documents\..."), is a device path and is kept.
QString FromCommandLine(const QString& argument);
// The root in use: the one set with SetRoot, else VELLUMDECK_ROOT; or an empty string.
QString Root();
// The program's --root, or a test's own folder; it wins over VELLUMDECK_ROOT. An empty
// string leaves the environment in force again.
void SetRoot(const QString& root);
// The folder that "\Windows" maps to when no root is set.
void SetDataFolder(const QString& folder);

}  // namespace DevicePath
