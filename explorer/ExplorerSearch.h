// CExplorerSearch: the search thread of Lintel Explorer.  It walks the shell
// namespace from a root folder and reports every object that passes the type
// filter and the scope.  The window's thread starts and stops it; the thread
// reports only through ISearchReport, whose implementation reaches the
// window's controls by synchronous messages.
#pragma once

#include "SearchResult.h"
#include "TypeFilter.h"
#include "../common/SearchThread.h"

#include <commctrl.h>

#include <atomic>
#include <map>
#include <memory>
#include <string>
#include <vector>

// The seven search types, in the order of the type combo (type = index + 1).
enum SearchType : int {
    kSearchApplications = 1,
    kSearchControlPanel = 2,
    kSearchProgramGroups = 3,
    kSearchShortcuts = 4,
    kSearchSpecialFolders = 5,
    kSearchNonFileObjects = 6,
    kSearchRegisteredDocuments = 7,
};

// How found objects are limited by SFGAO_FILESYSTEM.
enum SearchScope : int {
    AnyObject = 0,
    FileObjectsOnly = 1,
    NonFileObjectsOnly = 2,   // file-system folders are not entered either
};

// What the search thread tells its window.  Every call comes on the search
// thread; the window answers each before the search goes on.
class ISearchReport
{
public:
    // Command states: the thread has begun / is about to end.
    virtual void SearchStateChanged() = 0;
    // The image lists the results' image indexes refer to, made anew for each
    // search and owned by the search.
    virtual void SetImageLists(HIMAGELIST large, HIMAGELIST small) = 0;
    // The root becomes the first recent folder; returns the location text the
    // window shows for it (its parsing name).
    virtual CText RecordRootFolder(const CItemId& root) = 0;
    virtual void ShowStatus(const CText& text) = 0;
    // The progress bar: opened of total folders.
    virtual void ShowProgress(unsigned opened, unsigned total) = 0;
    // Inserts a result at the top of the list; FALSE when the list refused it.
    virtual BOOL InsertResult(CSearchResult* result) = 0;
    // Items now in the list, for the final status line.
    virtual int ListedCount() = 0;

protected:
    ~ISearchReport() = default;
};

// What one search looks for, taken on the window's thread when it starts.
struct SearchRequest
{
    int type = 0;                           // 1..7; anything else ends at once
    std::unique_ptr<CItemId> folder;        // the chosen folder; null: none chosen
    std::unique_ptr<CTypeFilter> filter;    // null: every object matches
};

class CExplorerSearch : public CSearchThread
{
public:
    explicit CExplorerSearch(ISearchReport& report);
    ~CExplorerSearch();   // stops a running search
    CExplorerSearch(const CExplorerSearch&) = delete;
    CExplorerSearch& operator=(const CExplorerSearch&) = delete;

    // Stops a running search, discards the previous results and image lists,
    // and starts the thread.  FALSE when the thread cannot be started.
    BOOL Start(SearchRequest request);
    unsigned ObjectsExamined() const { return m_objectsExamined; }
    unsigned FoldersTotal() const { return m_foldersTotal; }
    unsigned FoldersOpened() const { return m_foldersOpened; }

private:
    void RunSearch() override;
    void SearchEnded(bool completed) override;
    void Walk();
    void PreCount(IShellFolder* folder, unsigned depth);
    void SearchFolder(IShellFolder* folder, const CItemId& folderId, const CText& location, unsigned depth);
    void ListSpecialFolders();
    BOOL MatchesFilter(IShellFolder* folder, const CItemId& item, const CItemId& absolute, ULONG attributes);
    void AddResult(std::unique_ptr<CSearchResult> result, IShellFolder* folder, const CItemId& item,
                   const CItemId& absolute, bool isLink);
    void SetIcons(CSearchResult& result, IShellFolder* folder, const CItemId& item, const CItemId& absolute,
                  bool isLink);
    int AddIconPair(HICON large, HICON small);
    void Report(const CText& status, unsigned opened);
    bool EntersFolder(ULONG attributes) const;
    bool OnCurrentPath(const CItemId& folder) const;
    void DiscardResults();

    ISearchReport& m_report;
    // Written by the search thread only; atomic so that the window may show
    // them while a search runs.
    std::atomic<unsigned> m_objectsExamined{0};
    std::atomic<unsigned> m_foldersTotal{0};
    std::atomic<unsigned> m_foldersOpened{0};

    // Everything below belongs to the search thread while it runs, and to the
    // window's thread otherwise.
    SearchRequest m_request;
    SearchScope m_scope = AnyObject;
    unsigned m_lastProgress = 0;
    CText m_searchingText;
    std::vector<std::unique_ptr<CSearchResult>> m_results;
    HIMAGELIST m_largeImages = nullptr;
    HIMAGELIST m_smallImages = nullptr;
    // Each distinct system icon (shortcut or not) is copied into the
    // search's lists once.
    std::map<std::pair<int, bool>, int> m_imageOfSystemIcon;
    // Type names of files by extension (lower case, dot included).
    std::map<std::string, std::string> m_typeNameOfExtension;
    // The folders from the root down to the one being searched.
    std::vector<const CItemId*> m_path;
};
