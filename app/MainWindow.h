// CMainWindow: the hidden top-level window of Lintel.exe.  It owns the tray
// icon, the hotkeys, the toolbar set and the recent-documents monitor, and it
// receives the control messages of the companion programs.
#pragma once

#include "../common/WindowBase.h"
#include "../toolbars/ToolbarHost.h"

#include <memory>

class CMainApp;
class CToolbarSet;
class CRecentMonitor;

class CMainWindow : public CWindowBase, public IToolbarHost
{
public:
    explicit CMainWindow(CMainApp* application);
    ~CMainWindow() override;

    BOOL OnCreate(HWND handle) override;
    BOOL OnCommand(UINT id, UINT code, HWND control) override;
    BOOL OnTimer(UINT_PTR timerId) override;
    BOOL OnClose() override;
    BOOL OnDestroy() override;
    LRESULT WindowProc(UINT message, WPARAM first, LPARAM second) override;

    BOOL Initialise();
    BOOL OpenFromCommandLine(ATOM atom);
    void ShowWindow(int show);

    BOOL AddTrayIcon();
    BOOL ModifyTrayIcon(BOOL shown);
    BOOL DeleteTrayIcon();
    void ToggleHidden();
    BOOL ShowProgramMenu() override;
    BOOL Help(UINT command, ULONG_PTR data, HWND window = nullptr) override;

    // Control messages of the companion programs.
    LRESULT OnAddButton(WPARAM slotOrAtom);
    LRESULT OnHelpRequest(WPARAM kind, LPARAM context);
    LRESULT OnLiveHandles(WPARAM kind) const;
    LRESULT OnTrainingCard(WPARAM action, LPARAM data);
    LRESULT OnCreateToolbar(ATOM atom);
    BOOL CreateWizardToolbar(const char* path);
    // Whether a file is a wizard data file: a name of the wizard's temporary
    // form holding a compound file with a "DATA" stream.  Only such a file is
    // ever deleted on a companion's request.
    static BOOL IsWizardDataFile(const char* path);

    HWND Window() const override { return Handle(); }
    BOOL IsHidden() const override { return m_hidden; }
    void SetHidden(BOOL hidden) override { m_hidden = hidden; }
    CToolbarSet* ToolbarSet() const { return m_toolbarSet.get(); }
    CMainApp* App() const;

    // Identifiers of the tray icon and the timers (the hotkeys: IToolbarHost).
    static constexpr UINT kTrayIconId = 1;
    static constexpr UINT_PTR kClickTimer = 1;
    static constexpr UINT_PTR kRefreshTimer = 14;
    static constexpr UINT kRefreshDelay = 1000;

private:
    void OnTrayNotify(UINT mouseMessage);
    void OnHotkey(int id);

    BOOL m_hidden = FALSE;
    BOOL m_helpUsed = FALSE;
    BOOL m_clickPending = FALSE;
    BOOL m_refreshPending = FALSE;
    std::unique_ptr<CToolbarSet> m_toolbarSet;
    // The training card of the getting-started tour while one is up.
    struct TrainingCard {
        BOOL notifyTips = FALSE;
        BOOL active = FALSE;
    };
    std::unique_ptr<TrainingCard> m_trainingCard;
    std::unique_ptr<CRecentMonitor> m_changeMonitor;
};
