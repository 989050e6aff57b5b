// CRecentMonitor: watches the user's Recent folder on a thread of its own and
// tells the main window (message 1127) when it changed; the window then calls
// Rebuild, which offers every newly opened document to the program buttons.
#pragma once

#include "../common/ScopedHandle.h"
#include "../common/Text.h"

#include <vector>

// Told about each document that the shell recorded as opened (the toolbar
// set, which hands it to the program buttons of that document's program).
struct IRecentDocumentSink {
    virtual void OfferRecentDocument(const char* document) = 0;

protected:
    ~IRecentDocumentSink() = default;
};

struct CChangeNotificationTraits
{
    using Handle = HANDLE;
    static Handle Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Handle h) noexcept { ::FindCloseChangeNotification(h); }
};
using CChangeNotification = CScopedHandle<CChangeNotificationTraits>;

// One shortcut of the Recent folder as a snapshot saw it.
struct RecentShortcut {
    CText path;          // of the .lnk file
    FILETIME lastWrite{};
    CText target;        // empty until resolved, or when it cannot be
    BOOL resolveTried = FALSE;

    // The document the shortcut points to; FALSE when it cannot be read.
    BOOL Resolve();
};

// Whether two snapshots' entries are the same shortcut unchanged: the same
// file with the same time stamp and the same document.  A shortcut that
// cannot be resolved matches nothing, so it never hides a new one.
BOOL SameShortcut(RecentShortcut& a, RecentShortcut& b);

class CRecentMonitor
{
public:
    // The monitor stops within this time at exit, or its thread is ended.
    static constexpr DWORD kStopTimeout = 1000;

    // folder: the folder to watch; by default the user's Recent folder.
    CRecentMonitor(IRecentDocumentSink* sink, HWND window, const char* folder = nullptr);
    ~CRecentMonitor();
    CRecentMonitor(const CRecentMonitor&) = delete;
    CRecentMonitor& operator=(const CRecentMonitor&) = delete;

    // Offers the documents of the shortcuts that are new or were saved again
    // since the last look, oldest first; returns how many were offered.
    int Rebuild();

    BOOL IsWatching() const { return m_thread.IsValid(); }
    const CText& Folder() const { return m_folder; }

private:
    static unsigned __stdcall ThreadProc(void* param);
    void Watch();
    std::vector<RecentShortcut> TakeSnapshot() const;

    IRecentDocumentSink* m_sink;
    HWND m_window;
    CText m_folder;
    std::vector<RecentShortcut> m_snapshot;
    // The monitor owns all three handles; its thread only waits on the
    // first two and posts to the window.
    CChangeNotification m_notification;
    CHandle m_stopEvent;
    CHandle m_thread;
    volatile LONG m_stop = 0;
};
