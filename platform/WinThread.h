// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once
// A worker thread with its own message queue: InitInstance, a message loop that
// dispatches through the derived class's message map, ExitInstance.

#include "Message.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

class CWinThread
{
public:
    CWinThread();
    // Joins the thread unless it is the calling thread. By then the derived parts are
    // gone, so an owner that keeps the object ends the thread (WM_QUIT, WaitForExit) first.
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts the thread; returns once its queue exists, so posting right after
    // succeeds. False when the thread could not be started.
    bool CreateThread();

    virtual bool InitInstance();
    // Runs until GetMessageW sees WM_QUIT; each message goes to OnThreadMessage.
    virtual int Run();
    virtual bool OnIdle(long count);
    virtual int ExitInstance();

    // Waits for the thread to end; true when it ended within the time.
    bool WaitForExit(int timeoutMs = -1);
    bool IsRunning() const;

    DWORD m_nThreadID = 0;
    bool m_bAutoDelete = true;   // the object deletes itself when its thread ends

protected:
    // The message map: handle one message; false when the map has no entry for it.
    virtual bool OnThreadMessage(const Message& msg);
    int m_exitCode = 0;

private:
    struct Startup;
    void ThreadMain(Startup* startup);
    void MarkEnded();
    std::thread m_thread;
    std::atomic<bool> m_running{false};
    std::mutex m_exitLock;
    std::condition_variable m_exited;
};

// Best effort on Linux: the request is remembered (GetThreadPriority reports it)
// and passed to the scheduler when the process is allowed to change it.
BOOL SetThreadPriority(int priority);
int GetThreadPriority();
