// SPDX-License-Identifier: GPL-2.0-or-later
#include "SystemError.h"

#include <cstring>

namespace {
thread_local int t_lastError = 0;
constexpr std::size_t kErrorTextSize = 256;
}  // namespace

namespace SystemError {

int Last()
{
    return t_lastError;
}

void SetLast(int error)
{
    t_lastError = error;
}

QString Text(int error)
{
    char buffer[kErrorTextSize] = {};
    // glibc's strerror_r may return a static string instead of filling the buffer.
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    const char* text = strerror_r(error, buffer, sizeof buffer);
    return QString::fromLocal8Bit(text);
#else
    if (strerror_r(error, buffer, sizeof buffer) != 0)
        return QStringLiteral("Unknown error %1").arg(error);
    return QString::fromLocal8Bit(buffer);
#endif
}

}  // namespace SystemError
