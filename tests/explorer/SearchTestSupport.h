// What the Explorer's tests share: a stand-in for the Explorer window that
// records what the search tells it, and a few shell look-ups.
#pragma once

#include "explorer/ExplorerSearch.h"

#include <functional>
#include <string>
#include <vector>

namespace explorer_tests {

// Records every report of a search.  Like the real window it answers on the
// thread that made it, through messages the search thread sends to a window
// of that thread: the search waits for each answer, and a Stop that failed to
// serve those messages would hang.
class RecordingReport : public ISearchReport
{
public:
    RecordingReport();
    ~RecordingReport();
    RecordingReport(const RecordingReport&) = delete;
    RecordingReport& operator=(const RecordingReport&) = delete;

    // The search the state changes are asked about.
    void Watch(const CExplorerSearch* search) { m_search = search; }
    void Clear();

    void SearchStateChanged() override;
    void SetImageLists(HIMAGELIST large, HIMAGELIST small) override;
    CText RecordRootFolder(const CItemId& root) override;
    void ShowStatus(const CText& text) override;
    void ShowProgress(unsigned opened, unsigned total) override;
    BOOL InsertResult(CSearchResult* result) override;
    int ListedCount() override;

    struct Progress {
        unsigned opened;
        unsigned total;
        size_t afterStatus;   // how many status texts had been shown
    };
    std::vector<std::string> statuses;
    std::vector<Progress> progress;
    std::vector<CSearchResult*> results;
    std::vector<std::string> roots;
    std::vector<bool> stateSearching;   // IsSearching() at each state change
    HIMAGELIST large = nullptr;
    HIMAGELIST small = nullptr;

private:
    void OnOwnThread(const std::function<void()>& call);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM first, LPARAM second);

    HWND m_window = nullptr;
    const CExplorerSearch* m_search = nullptr;
};

// Starts a search and waits, serving its reports, until it has ended.
bool RunToEnd(CExplorerSearch& search, SearchRequest request, DWORD timeoutMs = 60000);
SearchRequest Request(int type, const std::string& folder, std::unique_ptr<CTypeFilter> filter);
SearchRequest Request(int type, const CItemId& folder, std::unique_ptr<CTypeFilter> filter);
std::unique_ptr<CTypeFilter> FilterOf(std::initializer_list<const char*> typeNames);

// The desktop's parsing name of an absolute list ("" when it has none).
std::string ParsingName(const CItemId& absolute);
// SHGetFileInfo's type name of a path.
std::string TypeNameOf(const std::string& path);
std::string Lower(std::string text);
bool StartsWith(const std::string& text, const std::string& start);
// The attributes of an absolute list, asked of its parent folder.
ULONG AttributesOf(const CItemId& absolute, ULONG mask);

// A text of the Explorer's string table.
std::string ExplorerString(UINT id);

} // namespace explorer_tests
