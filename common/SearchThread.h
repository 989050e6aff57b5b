// CSearchThread: the start, stop and wait of a search that runs on a thread
// of its own.  The flag that lets the search go on is raised before the
// thread exists, so that a stop coming before the thread's first step is not
// lost; the thread has its own single-threaded apartment for the shell
// folders it walks; Stop waits for the thread itself to end, so nothing the
// thread still does (its last sent messages, CoUninitialize) can reach a
// window that is being destroyed.
#pragma once

#include "ScopedHandle.h"

#include <windows.h>

#include <atomic>

class CSearchThread
{
public:
    CSearchThread(const CSearchThread&) = delete;
    CSearchThread& operator=(const CSearchThread&) = delete;

    // Asks the thread to stop and waits until it has ended, serving the
    // messages it sends to this thread's windows meanwhile.  Harmless when no
    // search runs.
    void Stop();

    // A thread has been started and not yet waited for.
    bool IsRunning() const { return m_thread.IsValid(); }
    // The thread may go on (cleared by Stop and when the thread ends).
    bool IsSearching() const { return m_searching.load(); }

protected:
    CSearchThread() = default;
    // A derived search stops the thread in its own destructor: the thread
    // calls its overrides, which are gone by the time this one runs.
    ~CSearchThread() = default;

    // Starts the thread; FALSE when it cannot be started.  A running search
    // must have been stopped first.
    BOOL StartThread();

    // On the search thread, inside its apartment.
    virtual void RunSearch() = 0;
    // On the search thread after RunSearch, the flag already cleared; true
    // when the search ran to its end without a stop.
    virtual void SearchEnded(bool completed) = 0;

private:
    static DWORD WINAPI ThreadMain(void* parameter);

    std::atomic<bool> m_searching{false};
    CHandle m_thread;
};
