// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// The device's 8-bit "ANSI" code page, converted through iconv. The code page is
// VELLUMDECK_CODEPAGE (any iconv name, such as CP1252 or CP949), or else the
// locale's character set.

#include <QByteArray>
#include <QString>

namespace CodePage {

// Each byte sequence becomes the characters the code page gives it; a sequence the
// code page does not define becomes U+FFFD and conversion goes on.
QString ToUnicode(const QByteArray& bytes);
// Characters the code page lacks become '?'.
QByteArray FromUnicode(const QString& text);
QByteArray Name();
// Overrides the environment (tests); an empty name restores it.
void SetName(const QByteArray& name);

}  // namespace CodePage
