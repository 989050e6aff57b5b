#include "SearchThread.h"

#include "Error.h"
#include "TraceLog.h"

#include <objbase.h>

namespace {

constexpr DWORD kStopWaitStep = 1000;

} // namespace

BOOL CSearchThread::StartThread()
{
    m_searching = true;
    DWORD threadId = 0;
    m_thread.Reset(CreateThread(nullptr, 0, ThreadMain, this, 0, &threadId));
    if (!m_thread) {
        m_searching = false;
        return FALSE;
    }
    if (TraceOn())
        LogFormat("Thread is %lu", static_cast<unsigned long>(threadId));
    return TRUE;
}

void CSearchThread::Stop()
{
    if (!m_thread)
        return;
    Trace("Stopping search");
    m_searching = false;
    const HANDLE thread = m_thread.Get();
    for (;;) {
        // The thread reports by sent messages to this thread's windows; they
        // are served here so that it can reach its next check of the flag.
        // Posted and input messages wait: a click served here could start or
        // stop a search inside this one.
        MSG message{};
        PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        const DWORD waited = MsgWaitForMultipleObjects(1, &thread, FALSE, kStopWaitStep, QS_SENDMESSAGE);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_FAILED)
            break;
        if (waited == WAIT_TIMEOUT)
            Trace("Waiting...");
    }
    m_thread.Reset();
    Trace("Search stopped");
}

DWORD WINAPI CSearchThread::ThreadMain(void* parameter)
{
    auto* self = static_cast<CSearchThread*>(parameter);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    RunWithoutEscape([self] { self->RunSearch(); });
    const bool completed = self->m_searching.exchange(false);
    RunWithoutEscape([self, completed] { self->SearchEnded(completed); });
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
