// CToolbarSet: the open toolbars as a whole (at most ten, in slots with no
// gaps), the program-wide options and hotkeys, and what is remembered in the
// registry between runs.
#pragma once

#include "../common/Text.h"

class CMainApp;
class CMainWindow;
class CToolbar;
class COpenProgressDialog;

class CToolbarSet
{
public:
    static constexpr int kMaxToolbars = 10;

    // Visibility states of a slot.
    enum : int { kShown = 0, kHiddenByUser = 1, kHiddenForAll = 2 };

    CToolbarSet(CMainApp* application, CMainWindow* mainWindow);
    ~CToolbarSet();
    CToolbarSet(const CToolbarSet&) = delete;
    CToolbarSet& operator=(const CToolbarSet&) = delete;

    BOOL Initialise();
    void ReadStatusFromRegistry();
    BOOL WriteStatusToRegistry();
    BOOL AddFromFile(const char* path, BOOL atStartUp, COpenProgressDialog* progress, BOOL showErrors);
    BOOL FindByFile(const char* path, int& index) const;
    BOOL CreateNewToolbar();

    void CloseAll(int from);
    BOOL QueryClose();
    BOOL HideAll();
    BOOL ShowHidden();
    BOOL ShowAll();
    void ShowCurrent();
    void ArrangeDocked(CToolbar* filter);
    int HotkeysChanged(WORD optionsHotkey, WORD toolbarHotkey, WORD showAllHotkey);
    BOOL OnCommand(UINT id);

    int Count() const { return m_count; }

    // Options (registry defaults until read).
    BOOL m_saveOnClose = TRUE;
    BOOL m_toolTips = TRUE;
    BOOL m_allowTab = TRUE;
    BOOL m_openOnStart = TRUE;
    BOOL m_onlyOneOpen = FALSE;
    WORD m_optionsHotkey = 0x047A;
    WORD m_toolbarHotkey = 0x027B;
    WORD m_showAllHotkey = 0x047B;
    BOOL m_dialogOpen = FALSE;
    BOOL m_newToolbarHelp = TRUE;
    BOOL m_convertOldFiles = FALSE;
    int m_currentToolbar = -1;
    DWORD m_defaultNew = 3;
    DWORD m_shortcuts = 0;

private:
    CText RegistryName(UINT id) const;

    CMainApp* m_application;
    CMainWindow* m_mainWindow;
    int m_count = 0;
    CToolbar* m_toolbars[kMaxToolbars] = {};
    int m_states[kMaxToolbars] = {};
};
