// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
#include "MessageBox.h"

// Writes "caption: text" to standard error and answers as if the default button
// (the first) was chosen.
class StderrMessageBoxPresenter : public MessageBoxPresenter
{
public:
    int Present(void* owner, const QString& text, const QString& caption, UINT flags) override;
};
