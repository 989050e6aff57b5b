// CToolbarSet: the open toolbars as a whole (at most ten, in slots with no
// gaps), the program-wide options and hotkeys, and what is remembered in the
// registry between runs.
#pragma once

#include "ToolbarSetOptions.h"
#include "../buttons/RecentList.h"
#include "../buttons/RecentMonitor.h"
#include "../common/Text.h"

class CApplication;
class CRegistryKey;
class IToolbarHost;
class CToolbar;
class COpenProgressDialog;

class CToolbarSet : public IRecentDocumentSink
{
public:
    static constexpr int kMaxToolbars = 10;

    // Visibility states of a slot.
    enum : int { kShown = 0, kHiddenByUser = 1, kHiddenForAll = 2 };

    CToolbarSet(CApplication* application, IToolbarHost* host);
    ~CToolbarSet();
    CToolbarSet(const CToolbarSet&) = delete;
    CToolbarSet& operator=(const CToolbarSet&) = delete;

    BOOL Initialise();
    void ReadStatusFromRegistry();
    BOOL WriteStatusToRegistry();
    BOOL AddFromFile(const char* path, BOOL atStartUp, COpenProgressDialog* progress, BOOL showErrors);
    BOOL Open();
    BOOL Add(CToolbar* toolbar);
    BOOL Remove(int index);
    BOOL RemoveToolbar(CToolbar* toolbar);
    BOOL FindByFile(const char* path, int& index) const;
    BOOL FindToolbar(const CToolbar* toolbar, int& index) const;
    void SetCurrent(const CToolbar* toolbar);
    void ShowCurrent();
    BOOL Show(int index);
    BOOL Hide(int index);
    BOOL HideForAll(int index);
    BOOL HideAll();
    BOOL ShowHidden();
    BOOL ShowAll();
    void CloseAll(int from);
    BOOL QueryClose();
    void ArrangeDocked(CToolbar* filter);
    int HotkeysChanged(WORD optionsHotkey, WORD toolbarHotkey, WORD showAllHotkey);
    void ApplyOptions();
    BOOL AskConvert();
    BOOL OnCommand(UINT id);
    BOOL CreateNewToolbar();

    // The toolbar files opened or saved by hand, most recent first; the
    // program menu offers them as commands kFirstRecentCommand and on.
    static constexpr UINT kFirstRecentCommand = 100;
    const CRecentList& RecentToolbars() const { return m_recentToolbars; }
    void AddRecentToolbar(const char* path);
    // What the menu shows for recent entry index: the name of the toolbar
    // stored there, else the file's path.
    CText RecentToolbarMenuText(int index) const;
    // Opens recent entry index as the menu's command does.
    BOOL OpenRecentToolbar(int index);

    // A document the shell recorded as opened goes to the recent lists of
    // the program buttons of its associated program.
    void OfferRecentDocument(const char* document) override;

    // New toolbars (the "Create New Toolbar" choices and the wizard's).
    // CreateBlankToolbar returns the new toolbar's slot, or -1.
    int CreateBlankToolbar(const char* name);
    BOOL CreateToolbar(BOOL withDefaultButtons);
    BOOL AddDefaultButtons(CToolbar* toolbar);
    BOOL SaveNew(CToolbar* toolbar);
    BOOL CompleteNewToolbar(int index, BOOL ok);
    // corner: 0 floating, 1 top left, 2 top right, 3 bottom left, 4 bottom right.
    BOOL SetDocking(int index, DWORD corner, BOOL vertical);
    BOOL SetButtonStyle(int index, DWORD size, BOOL showDescriptions);

    // Buttons handed over by the companions through the clipboard.
    BOOL PasteIntoToolbar(int index);
    BOOL AddButtonToToolbar(const char* name);

    // The program menu's toolbar part: with one toolbar its items go straight
    // into the menu, with several each toolbar is a submenu.  Returns how many
    // toolbars were added.
    int AddToolbarsToMenu(HMENU menu);

    int Count() const { return m_count; }
    CToolbar* Toolbar(int index) const { return index >= 0 && index < m_count ? m_toolbars[index] : nullptr; }
    int State(int index) const { return index >= 0 && index < m_count ? m_states[index] : kShown; }
    BOOL IsHidden(int index) const { return State(index) != kShown; }
    // A toolbar read from a file brings its hidden flag along.
    void SetHiddenState(int index, BOOL hidden)
    {
        if (index >= 0 && index < m_count)
            m_states[index] = hidden ? kHiddenByUser : kShown;
    }
    CApplication* App() const { return m_application; }
    IToolbarHost* Host() const { return m_host; }

    // The Options dialog's Toolbars page, while it is up: told (message
    // kToolbarsChanged) whenever toolbars are added or removed.
    void SetToolbarsPage(HWND page) { m_toolbarsPage = page; }
    void RefreshToolbarsPage() const;
    static constexpr UINT kToolbarsChanged = WM_APP + 1;
    // While any toolbar's property sheet is open, the Toolbars page's
    // Properties and Remove buttons are disabled.
    BOOL AnyPropertiesOpen() const { return m_propertiesOpenCount > 0; }
    void PropertiesOpened(BOOL open) { m_propertiesOpenCount += open ? 1 : -1; }

    // The options kept in the registry (their defaults until read).
    // SetOptions takes every option but the hotkeys, which change only
    // through HotkeysChanged because a code in force must be registered;
    // ApplyOptions then brings the open toolbars in line.
    const ToolbarSetOptions& Options() const { return m_options; }
    void SetOptions(const ToolbarSetOptions& options);
    template <class Edit>
    void ChangeOptions(Edit edit)
    {
        ToolbarSetOptions changed(m_options);
        edit(changed);
        SetOptions(changed);
    }
    // While the "Open toolbar" file dialog is up no second one may start.
    BOOL IsOpenDialogUp() const { return m_openDialogUp; }
    void SetOpenDialogUp(BOOL up) { m_openDialogUp = up; }

private:
    CText RegistryName(UINT id) const;
    void ReadOptions(CRegistryKey& key);
    BOOL WriteOptions(CRegistryKey& key) const;

    CApplication* m_application;
    IToolbarHost* m_host;
    int m_count = 0;
    CToolbar* m_toolbars[kMaxToolbars] = {};
    int m_states[kMaxToolbars] = {};
    HWND m_toolbarsPage = nullptr;
    int m_propertiesOpenCount = 0;
    ToolbarSetOptions m_options;
    CRecentList m_recentToolbars;
    BOOL m_openDialogUp = FALSE;
    // The slot last made current, the target of the toolbar hotkey; -1 none.
    int m_currentToolbar = -1;
};
