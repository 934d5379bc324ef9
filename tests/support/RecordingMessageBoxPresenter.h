// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
#include "MessageBox.h"

#include <QStringList>

#include <deque>
#include <mutex>
#include <vector>

// Records every box and answers from a script (tests). Thread-safe.
class RecordingMessageBoxPresenter : public MessageBoxPresenter
{
public:
    struct Record
    {
        QString text;
        QString caption;
        UINT flags = 0;
    };

    int Present(void* owner, const QString& text, const QString& caption, UINT flags) override;
    // The next boxes answer these results in order; after that, the default button.
    void ScriptAnswers(std::vector<int> answers);
    std::vector<Record> Records() const;
    // The texts of the boxes shown so far, in order.
    QStringList Texts() const;
    void Clear();

private:
    mutable std::mutex m_lock;
    std::vector<Record> m_records;
    std::deque<int> m_answers;
};
