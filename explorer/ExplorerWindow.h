// CExplorerWindow: Lintel Explorer's one window.  A toolbar with the folder
// and type combos, the result list, a status bar with a progress part, and the
// menu.  It owns the search (CExplorerSearch), the recent folders, the
// document-type catalogue and the settings kept under the "Explorer" key, and
// hands found objects out by the clipboard, by dragging and to the toolbars of
// the main program.
#pragma once

#include "DocumentType.h"
#include "ExplorerSearch.h"
#include "RecentFolders.h"
#include "TypeFilter.h"
#include "../common/ComPtr.h"
#include "../common/WindowBase.h"

#include <atomic>
#include <memory>
#include <vector>

#define LINTEL_EXPLORER_CLASS "LintelExplorerWindow"

// One top-level toolbar window of the main program, as the "Add selection
// to" menu lists it.
struct CToolbarEntry
{
    HWND window = nullptr;
    CText name;   // the window's text, which is the toolbar's name
};

// The toolbar windows open now, in the order the system lists them.
std::vector<CToolbarEntry> FindToolbarWindows();
// The name the main program knows a toolbar by: its title without the
// protection mark a protected toolbar's title carries.
CText ToolbarNameFromTitle(const CText& title);

class CExplorerWindow : public CWindowBase, private ISearchReport
{
public:
    CExplorerWindow(CApplication* application, BOOL startWithShortcuts);
    ~CExplorerWindow() override;

    static BOOL RegisterClass(HINSTANCE instance);
    BOOL Create();

    LRESULT WindowProc(UINT message, WPARAM first, LPARAM second) override;
    BOOL OnCreate(HWND handle) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnInitMenu(HMENU menu) override;
    BOOL OnHelp(HELPINFO* helpInfo) override;
    BOOL OnClose() override;
    BOOL OnDestroy() override;

    // The search type of the type combo (1..7), and selecting one.
    int SearchTypeSelected() const;
    void SelectSearchType(int type);
    BOOL StartSearch();
    void StopSearch();

    BOOL Help(UINT command, ULONG_PTR data, HWND owner = nullptr);

private:
    // ISearchReport, called on the search thread.
    void SearchStateChanged() override;
    void SetImageLists(HIMAGELIST large, HIMAGELIST small) override;
    CText RecordRootFolder(const CItemId& root) override;
    void ShowStatus(const CText& text) override;
    void ShowProgress(unsigned opened, unsigned total) override;
    BOOL InsertResult(CSearchResult* result) override;
    int ListedCount() override;

    void ReadSettings();
    void WriteSettings() const;

    BOOL CreateToolbar();
    BOOL CreateStatusBar();
    BOOL CreateListView();
    void SizeWindow();
    void Layout(int width, int height);
    void SetStatusParts(int width);
    void DrawProgress(const DRAWITEMSTRUCT& item) const;

    void SetSearchFolder(int specialFolder);
    void RefillFolderCombo();
    void UpdateCommandStates();
    void SetViewStyle(int style);
    void ToggleAutoArrange();
    void Browse();

    CSearchResult* SelectedResult() const;
    CSearchResult* ResultAt(int item) const;
    BOOL CopySelection();
    void ReleaseClipboardObject(bool flush);
    void OpenSelection();
    void ShowContextMenu(int x, int y);
    void BeginDrag(int item);
    void BuildToolbarMenu(HMENU menu, bool withCancel);
    void ShowToolbarMenuUnderButton();
    void AddSelectionToToolbar(int entry);
    void ShowAbout();
    LRESULT OnNotify(NMHDR* header);

    CExplorerSearch m_search;
    CRecentFolders m_recent;
    std::vector<CDocumentType> m_catalogue;
    std::unique_ptr<CTypeFilter> m_filter;
    std::vector<CToolbarEntry> m_toolbars;
    CComPtr<IDataObject> m_clipboardObject;
    // While an object's context menu is up, for the submenus it draws itself.
    CComPtr<IContextMenu2> m_contextMenu2;

    HWND m_toolbar = nullptr;
    HWND m_folderCombo = nullptr;
    HWND m_typeCombo = nullptr;
    HWND m_listView = nullptr;
    HWND m_statusBar = nullptr;

    int m_viewStyle = LVS_REPORT;
    int m_autoArrange = 0;
    int m_width = -1;
    int m_height = -1;
    BOOL m_startWithShortcuts;
    BOOL m_helpUsed = FALSE;
    // The progress part's 100 % mark, written by the search thread just
    // before it asks the bar to be drawn.
    std::atomic<unsigned> m_progressTotal{0};
};
