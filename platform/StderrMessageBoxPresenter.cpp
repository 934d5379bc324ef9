// SPDX-License-Identifier: GPL-2.0-or-later
#include "StderrMessageBoxPresenter.h"

#include <cstdio>

int StderrMessageBoxPresenter::Present(void*, const QString& text, const QString& caption, UINT flags)
{
    const QByteArray line = (caption.isEmpty() ? text : caption + QStringLiteral(": ") + text).toLocal8Bit() + '\n';
    std::fwrite(line.constData(), 1, static_cast<std::size_t>(line.size()), stderr);
    std::fflush(stderr);
    return DefaultMessageBoxResult(flags);
}
