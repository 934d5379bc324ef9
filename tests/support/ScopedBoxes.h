// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
#include "RecordingMessageBoxPresenter.h"

#include <memory>

// Records the message boxes shown for a scope, then puts back the presenter that
// was there.
struct ScopedBoxes
{
    ScopedBoxes() : previous(SetMessageBoxPresenter(std::unique_ptr<MessageBoxPresenter>(boxes))) {}
    ~ScopedBoxes() { SetMessageBoxPresenter(std::move(previous)); }
    ScopedBoxes(const ScopedBoxes&) = delete;
    ScopedBoxes& operator=(const ScopedBoxes&) = delete;

    RecordingMessageBoxPresenter* boxes = new RecordingMessageBoxPresenter;
    std::unique_ptr<MessageBoxPresenter> previous;
};
