#include "ProgramMenu.h"

#include "MainWindow.h"
#include "OptionsSheet.h"
#include "../common/Application.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"
#include "../toolbars/ToolbarSet.h"

#include <memory>
#include <new>

namespace {

CText LoadText(UINT id)
{
    CText text;
    text.LoadString(AppInstance(), id);
    return text;
}

BOOL AddItem(HMENU menu, UINT id, UINT textId, UINT iconId, UINT flags = 0)
{
    return AddMenuItem(menu, id, LoadText(textId).c_str(), iconId, flags);
}

} // namespace

int BuildMenu(HMENU menu, CToolbarSet& set, const std::vector<CText>& recentFiles)
{
    const int toolbars = set.AddToolbarsToMenu(menu);

    if (toolbars > 1) {
        const BOOL hidden = set.Host() && set.Host()->IsHidden();
        CMenuHandle all(CreatePopupMenu());
        AddItem(all.Get(), MenuCommand::ToggleHidden, hidden ? IDS_PMENU_SHOW : IDS_PMENU_HIDE,
                hidden ? IDI_MENU_SHOW : IDI_MENU_HIDE);
        AddItem(all.Get(), MenuCommand::BringToFront, IDS_PMENU_BRING_TO_FRONT, IDI_MENU_BRING_TO_FRONT);
        AddItem(all.Get(), MenuCommand::CloseAll, IDS_PMENU_CLOSE, IDI_MENU_CLOSE);
        AddSubmenu(menu, MenuCommand::AllToolbars, LoadText(IDS_PMENU_ALL_TOOLBARS).c_str(), IDI_MENU_ALL_TOOLBARS,
                   all.Release());
        AddSeparator(menu);
    }

    AddItem(menu, MenuCommand::NewToolbar, IDS_PMENU_NEW_TOOLBAR, IDI_MENU_NEW_TOOLBAR);

    // Only one "Open toolbar" file dialog at a time.
    const UINT openFlags = set.IsOpenDialogUp() ? MF_GRAYED : 0;
    if (recentFiles.empty()) {
        AddItem(menu, MenuCommand::OpenToolbar, IDS_PMENU_OPEN_TOOLBAR, IDI_MENU_OPEN_TOOLBAR, openFlags);
    } else {
        CMenuHandle open(CreatePopupMenu());
        UINT id = MenuCommand::FirstRecent;
        for (const CText& name : recentFiles)
            AddMenuItem(open.Get(), id++, name.c_str(), IDI_LINTEL);
        AddSeparator(open.Get());
        AddItem(open.Get(), MenuCommand::OtherToolbar, IDS_PMENU_OTHER_TOOLBAR, IDI_MENU_OPEN_TOOLBAR, openFlags);
        AddSubmenu(menu, MenuCommand::OpenToolbar, LoadText(IDS_PMENU_OPEN_TOOLBAR).c_str(), IDI_MENU_OPEN_TOOLBAR,
                   open.Release());
    }

    AddSeparator(menu);
    AddItem(menu, MenuCommand::LaunchExplorer, IDS_PMENU_EXPLORER, IDI_MENU_EXPLORER);
    AddItem(menu, MenuCommand::Options, IDS_PMENU_OPTIONS, IDI_MENU_PROPERTIES,
            COptionsSheet::IsOpen() ? MF_GRAYED : 0);

    CMenuHandle help(CreatePopupMenu());
    AddItem(help.Get(), MenuCommand::HelpTopics, IDS_PMENU_HELP_TOPICS, IDI_MENU_HELP);
    AddItem(help.Get(), MenuCommand::TipOfTheDay, IDS_PMENU_TIP_OF_THE_DAY, IDI_MENU_TIP_OF_THE_DAY);
    AddSeparator(help.Get());
    AddItem(help.Get(), MenuCommand::About, IDS_PMENU_ABOUT, IDI_MENU_ABOUT);
    AddSubmenu(menu, MenuCommand::HelpMenu, LoadText(IDS_PMENU_HELP).c_str(), IDI_MENU_HELP, help.Release());

    AddSeparator(menu);
    AddItem(menu, MenuCommand::Exit, IDS_PMENU_EXIT, IDI_MENU_EXIT);
    return GetMenuItemCount(menu);
}

BOOL ShowProgramMenu(CMainWindow& window)
{
    CToolbarSet* set = window.ToolbarSet();
    if (!set)
        return FALSE;
    HWND previous = GetForegroundWindow();
    std::vector<CText> recentFiles;
    for (int i = 0; i < set->RecentToolbars().Count(); ++i)
        recentFiles.push_back(set->RecentToolbarMenuText(i));
    CProgramMenu menu;
    if (!menu.Handle() || BuildMenu(menu.Handle(), *set, recentFiles) <= 0)
        return FALSE;

    POINT cursor{};
    GetCursorPos(&cursor);
    // A menu whose owner is not in the foreground stays up after a click
    // elsewhere; the tray's menus all need this.
    SetForegroundWindow(window.Handle());
    SetMenuContextHelpId(menu.Handle(), IDH_PROGRAM_MENU);
    TrackPopupMenu(menu.Handle(), TPM_RIGHTBUTTON | TPM_RIGHTALIGN, cursor.x, cursor.y, 0, window.Handle(),
                   nullptr);
    // ...and a message after it, or the next menu from the tray closes at once.
    PostMessageA(window.Handle(), WM_NULL, 0, 0);
    if (previous && IsWindow(previous))
        SetForegroundWindow(previous);
    return TRUE;
}
