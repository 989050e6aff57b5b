#include "RecentMonitor.h"

#include "../common/ComPtr.h"
#include "../common/ControlMessages.h"
#include "../common/TraceLog.h"

#include <objbase.h>
#include <process.h>
#include <shlobj.h>

#include <algorithm>

namespace {

CText RecentFolder()
{
    char folder[MAX_PATH]{};
    if (!SHGetSpecialFolderPathA(nullptr, folder, CSIDL_RECENT, FALSE))
        return CText();
    return CText(folder);
}

bool EarlierWrite(const RecentShortcut& a, const RecentShortcut& b)
{
    return CompareFileTime(&a.lastWrite, &b.lastWrite) < 0;
}

} // namespace

BOOL RecentShortcut::Resolve()
{
    if (resolveTried)
        return !target.IsEmpty();
    resolveTried = TRUE;
    target = "";
    CComPtr<IShellLinkA> link;
    HRESULT hr = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(link.put()));
    if (FAILED(hr)) {
        if (TraceOn())
            LogHResult(hr);
        return FALSE;
    }
    CComPtr<IPersistFile> file;
    hr = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()));
    wchar_t* widePath = nullptr;
    if (FAILED(hr) || !path.ToUnicode(&widePath))
        return FALSE;
    hr = file->Load(widePath, STGM_READ);
    CText::FreeUnicode(widePath);
    if (FAILED(hr))
        return FALSE;
    // The stored path only: resolving would search the disk for a moved
    // document on the program's own thread.
    char document[MAX_PATH]{};
    if (link->GetPath(document, sizeof document, nullptr, SLGP_RAWPATH) != S_OK || !document[0])
        return FALSE;
    target = document;
    return TRUE;
}

BOOL SameShortcut(RecentShortcut& a, RecentShortcut& b)
{
    if (a.path.Compare(b.path.c_str()) != 0 || CompareFileTime(&a.lastWrite, &b.lastWrite) != 0)
        return FALSE;
    if (!a.Resolve() || !b.Resolve())
        return FALSE;
    return a.target.CompareCase(b.target.c_str()) == 0;
}

CRecentMonitor::CRecentMonitor(IRecentDocumentSink* sink, HWND window, const char* folder)
    : m_sink(sink), m_window(window), m_folder(folder ? CText(folder) : RecentFolder())
{
    if (m_folder.IsEmpty()) {
        Trace("CRecentMonitor: no Recent folder");
        return;
    }
    m_snapshot = TakeSnapshot();

    Trace("CRecentMonitor: Create stop event");
    m_stopEvent.Reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!m_stopEvent)
        return;

    Trace("CRecentMonitor: Init chg.notify");
    // A document opened again has its shortcut saved over in place, which
    // changes only the file's time, not its name.
    HANDLE notification = FindFirstChangeNotificationA(m_folder.c_str(), FALSE,
                                                       FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE);
    if (notification == INVALID_HANDLE_VALUE) {
        Trace("CRecentMonitor: Failed to init notify");
        return;
    }
    m_notification.Reset(notification);

    Trace("CRecentMonitor: Start thread");
    const uintptr_t thread = _beginthreadex(nullptr, 0, ThreadProc, this, 0, nullptr);
    if (!thread) {
        Trace("CRecentMonitor: Thread failed - close notify");
        m_notification.Reset();
        return;
    }
    m_thread.Reset(reinterpret_cast<HANDLE>(thread));
}

CRecentMonitor::~CRecentMonitor()
{
    InterlockedExchange(&m_stop, 1);
    if (m_stopEvent) {
        Trace("CRecentMonitor: Raise event");
        SetEvent(m_stopEvent.Get());
    }
    if (m_thread) {
        Trace("CRecentMonitor: Thread running");
        if (WaitForSingleObject(m_thread.Get(), kStopTimeout) != WAIT_OBJECT_0) {
            Trace("CRecentMonitor: Monitor thread still going - stopping");
            TerminateThread(m_thread.Get(), 0);
        }
    }
    Trace("CRecentMonitor: Thread stopped");
}

unsigned __stdcall CRecentMonitor::ThreadProc(void* param)
{
    static_cast<CRecentMonitor*>(param)->Watch();
    return 0;
}

void CRecentMonitor::Watch()
{
    const HANDLE handles[2] = {m_stopEvent.Get(), m_notification.Get()};
    while (!m_stop) {
        const DWORD woken = WaitForMultipleObjects(2, handles, FALSE, INFINITE);
        if (m_stop || woken != WAIT_OBJECT_0 + 1)
            break;
        PostMessageA(m_window, UM_RECENTCHANGED, 0, 0);
        if (!FindNextChangeNotification(handles[1]))
            break;
    }
}

std::vector<RecentShortcut> CRecentMonitor::TakeSnapshot() const
{
    std::vector<RecentShortcut> snapshot;
    CText folder(m_folder);
    if (folder.IsEmpty())
        return snapshot;
    if (folder.c_str()[folder.Length() - 1] != '\\')
        folder += "\\";
    CText pattern(folder);
    pattern += "*.lnk";
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return snapshot;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        RecentShortcut entry;
        entry.path = folder;
        entry.path += found.cFileName;
        entry.lastWrite = found.ftLastWriteTime;
        snapshot.push_back(std::move(entry));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return snapshot;
}

int CRecentMonitor::Rebuild()
{
    std::vector<RecentShortcut> current = TakeSnapshot();
    std::vector<RecentShortcut*> changed;
    for (RecentShortcut& entry : current) {
        bool known = false;
        for (RecentShortcut& previous : m_snapshot) {
            if (SameShortcut(entry, previous)) {
                known = true;
                break;
            }
        }
        if (!known)
            changed.push_back(&entry);
    }
    // The newest document is offered last, so that it ends at the top.
    std::stable_sort(changed.begin(), changed.end(),
                     [](const RecentShortcut* a, const RecentShortcut* b) { return EarlierWrite(*a, *b); });
    int offered = 0;
    for (RecentShortcut* entry : changed) {
        if (entry->Resolve() && m_sink) {
            m_sink->OfferRecentDocument(entry->target.c_str());
            ++offered;
        }
    }
    m_snapshot.swap(current);
    return offered;
}
