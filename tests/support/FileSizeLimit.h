// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// While it lives, no file of this process may grow past a limit: a write beyond it
// fails as on a full disk, for root too (the file-size resource limit; its signal is
// ignored meanwhile).

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t limit)
    {
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_previous);
        rlimit narrowed = m_previous;
        narrowed.rlim_cur = limit;
        m_active = ::setrlimit(RLIMIT_FSIZE, &narrowed) == 0;
    }
    ~FileSizeLimit()
    {
        ::setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

    bool Active() const { return m_active; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};
