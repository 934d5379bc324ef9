// SPDX-License-Identifier: GPL-2.0-or-later
#include "RecordingMessageBoxPresenter.h"

int RecordingMessageBoxPresenter::Present(void*, const QString& text, const QString& caption, UINT flags)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_records.push_back(Record{text, caption, flags});
    if (m_answers.empty())
        return DefaultMessageBoxResult(flags);
    const int answer = m_answers.front();
    m_answers.pop_front();
    return answer;
}

void RecordingMessageBoxPresenter::ScriptAnswers(std::vector<int> answers)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_answers.assign(answers.begin(), answers.end());
}

std::vector<RecordingMessageBoxPresenter::Record> RecordingMessageBoxPresenter::Records() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_records;
}

void RecordingMessageBoxPresenter::Clear()
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_records.clear();
    m_answers.clear();
}

QStringList RecordingMessageBoxPresenter::Texts() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    QStringList texts;
    for (const Record& record : m_records)
        texts << record.text;
    return texts;
}
