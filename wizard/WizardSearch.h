// CWizardSearch: the wizard's search for potential buttons, on a thread of
// its own: programs behind the Start Menus' shortcuts filtered by maker,
// drives and system folders, Control Panel applets and printers.  The
// thread reports through ISearchProgress, whose implementation reaches the
// searching page's controls by sent messages; when it ends it posts the
// page UM_SEARCH_ENDED.
#pragma once

#include "FoundItem.h"
#include "../common/ScopedHandle.h"

#include <commctrl.h>

#include <atomic>

enum SearchMask : int {
    kSearchApplications = 1,
    kSearchDrives = 2,
    kSearchControlPanel = 4,
    kSearchPrinters = 8,
    kSearchEverything = 15,
};

class ISearchProgress
{
public:
    virtual void ShowStatus(UINT textId) = 0;
    virtual void ShowProgress(unsigned percent) = 0;
    virtual void ShowFound(unsigned found) = 0;

protected:
    ~ISearchProgress() = default;
};

struct WizardSearchRequest
{
    int mask = 0;
    Companies companies;
    FoundItems* found = nullptr;     // filled by the thread, emptied by Start
    HIMAGELIST images = nullptr;     // the found items' small icons
    HWND notify = nullptr;           // told UM_SEARCH_ENDED
};

class CWizardSearch
{
public:
    explicit CWizardSearch(ISearchProgress& progress);
    ~CWizardSearch();
    CWizardSearch(const CWizardSearch&) = delete;
    CWizardSearch& operator=(const CWizardSearch&) = delete;

    // Stops a running search, empties the found items and starts the thread.
    BOOL Start(WizardSearchRequest request);
    // Asks the thread to stop and waits until it has ended, serving the
    // messages it sends meanwhile.  Harmless when none runs.
    void Stop();
    // Waits for a thread that has said it is done.
    void Join() { Stop(); }

    bool IsRunning() const { return m_thread.IsValid(); }
    // The last search ran to its end, unstopped.
    bool Completed() const { return m_completed.load(); }

    // The shortcut test of the applications search on one file: a ".lnk"
    // whose target, environment references expanded, is an ".exe" of a
    // chosen maker.
    static BOOL ShortcutPasses(const char* linkPath, const Companies& companies);
    // A shortcut's target with its environment references expanded; FALSE
    // when the expansion does not fit a path (MAX_PATH with its zero).
    static BOOL ExpandTarget(const char* target, CText& expanded);

private:
    static DWORD WINAPI ThreadMain(void* parameter);
    void Run();
    void CountFolders(const CItemId& folder, int depth, int maxDepth);
    void SearchFolder(const CItemId& folder, const char* typeFilter, int depth, int maxDepth, ULONG attributeMask);
    void AddFound(IShellFolder* folder, const CItemId& parent, const CItemId& item, const CItemId& absolute);
    void ShowProgress();

    ISearchProgress& m_progress;
    std::atomic<bool> m_searching{false};
    std::atomic<bool> m_completed{false};
    CHandle m_thread;
    WizardSearchRequest m_request;
    unsigned m_foldersCounted = 0;
    unsigned m_foldersSearched = 0;
    unsigned m_itemsFound = 0;
};
