// The toolbar's menus and their commands: the toolbar menu (its menu
// button and right clicks on the toolbar), the toolbar's part of the program
// menu, and the commands they send.
#include "Toolbar.h"

#include "ToolbarPropertySheet.h"
#include "ToolbarSet.h"
#include "../buttons/ButtonFactory.h"
#include "../buttons/ExecButton.h"
#include "../buttons/FileButton.h"
#include "../buttons/ToolButton.h"
#include "../common/Application.h"
#include "../common/Companions.h"
#include "../common/Dpi.h"
#include "../common/OwnerDrawMenu.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

namespace {

// The Add commands of both menus, greyed when the toolbar takes no buttons.
void GreyAddCommands(HMENU menu, bool addBlocked)
{
    auto grey = [menu](UINT id, bool off) { EnableMenuItem(menu, id, MF_BYCOMMAND | (off ? MF_GRAYED : MF_ENABLED)); };
    for (UINT id : {IDC_TB_ADD_SHORTCUT, IDC_TB_LAUNCH_EXPLORER})
        grey(id, addBlocked);
    // A blank file, folder or address button keeps its place only once its
    // properties have given it a target.
    for (UINT id : {IDC_TB_ADD_FILE, IDC_TB_ADD_FOLDER, IDC_TB_ADD_URL})
        grey(id, addBlocked || !kHasButtonProperties);
}

// What a toolbar menu command changes, as protection bits (0: nothing protected).
DWORD CommandProtection(UINT id)
{
    switch (id) {
    case IDC_TB_ADD_FILE:
    case IDC_TB_ADD_FOLDER:
    case IDC_TB_ADD_URL:
    case IDC_TB_ADD_SHORTCUT:
    case IDC_TB_LAUNCH_EXPLORER:
        return kProtectAdd;
    case IDC_TB_DOCK:
    case IDC_TB_UNDOCK:
    case IDC_TB_HORIZONTAL:
    case IDC_TB_VERTICAL:
    case IDC_TB_ALWAYS_ON_TOP:
    case IDC_TB_SHOW_MENU_BUTTON:
    case IDC_TB_AUTOHIDE:
        return kProtectToolbarProperties;
    default:
        return 0;
    }
}

} // namespace

void CToolbar::ShowAddMenu()
{
    CMenuHandle menus(LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_ADD_MENU)));
    if (!menus)
        return;
    HMENU menu = GetSubMenu(menus.Get(), 0);
    GreyAddCommands(menu, IsRestricted(kProtectAdd) != FALSE);
    SetMenuContextHelpId(menu, HELP_ADD_MENU);
    POINT cursor{};
    GetCursorPos(&cursor);
    m_inMenuLoop = 1;
    const auto alive = AliveToken();
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, Handle(), nullptr);
    if (*alive)
        m_inMenuLoop = 0;
}

void CToolbar::ShowToolbarMenu(HWND owner, BOOL forHiddenToolbar)
{
    CMenuHandle menus(LoadMenuA(AppInstance(), MAKEINTRESOURCEA(IDM_TOOLBAR_MENU)));
    if (!menus)
        return;
    HMENU menu = GetSubMenu(menus.Get(), 0);
    CText hideText;
    if (hideText.LoadString(AppInstance(), forHiddenToolbar ? IDS_MENU_SHOW : IDS_MENU_HIDE))
        ModifyMenuA(menu, IDC_TB_HIDE, MF_BYCOMMAND | MF_STRING, IDC_TB_HIDE, hideText.c_str());

    auto check = [menu](UINT id, bool on) { CheckMenuItem(menu, id, MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED)); };
    check(IDC_TB_DOCK, m_settings.docked);
    check(IDC_TB_UNDOCK, !m_settings.docked);
    check(IDC_TB_HORIZONTAL, m_settings.orientation == kHorizontal);
    check(IDC_TB_VERTICAL, m_settings.orientation != kHorizontal);
    check(IDC_TB_ALWAYS_ON_TOP, m_settings.alwaysOnTop);
    check(IDC_TB_AUTOHIDE, m_settings.autohide);
    check(IDC_TB_SHOW_MENU_BUTTON, m_settings.showMenuButtons);
    {
        // Only a toolbar docked in a corner can keep a strip.
        const bool stripPossible = m_settings.docked && CornerIndex() >= 0 && CornerIndex() < 4 && !m_settings.autohide
                                   && !IsRestricted(kProtectToolbarProperties);
        CText stripText;
        if (!stripText.LoadString(AppInstance(), IDS_MENU_SCREEN_STRIP))
            stripText = "Keep a Screen S&trip";
        InsertMenuA(menu, IDC_TB_AUTOHIDE, MF_BYCOMMAND | MF_STRING | (ScreenStripOption() ? MF_CHECKED : 0)
                        | (stripPossible ? 0 : MF_GRAYED), kScreenStripCommand, stripText.c_str());
    }

    auto grey = [menu](UINT id, bool off) { EnableMenuItem(menu, id, MF_BYCOMMAND | (off ? MF_GRAYED : MF_ENABLED)); };
    const bool addBlocked = IsRestricted(kProtectAdd) != FALSE;
    GreyAddCommands(menu, addBlocked);
    grey(IDC_TB_PASTE, addBlocked || IsRestricted(kProtectClipboard) || !ClipboardHasUsableData());
    const bool propertiesBlocked = IsRestricted(kProtectToolbarProperties);
    for (UINT id : {IDC_TB_DOCK, IDC_TB_UNDOCK, IDC_TB_HORIZONTAL, IDC_TB_VERTICAL, IDC_TB_ALWAYS_ON_TOP,
                    IDC_TB_SHOW_MENU_BUTTON, IDC_TB_AUTOHIDE})
        grey(id, propertiesBlocked);
    grey(IDC_TB_SAVE_AS, m_saveDialogOpen);
    // One toolbar sheet at a time in the whole program.
    grey(IDC_TB_PROPERTIES, CToolbarPropertySheet::IsOpen() != FALSE);
    if (m_settings.protection.quickUnlockOption) {
        CText lockText;
        lockText.LoadString(AppInstance(), m_quickUnlocked ? IDS_QUICK_LOCK : IDS_QUICK_UNLOCK);
        InsertMenuA(menu, 4, MF_BYPOSITION | MF_STRING, IDC_TB_QUICK_LOCK, lockText.c_str());
    }
    SetMenuContextHelpId(menu, HELP_TOOLBAR_MENU);

    POINT cursor{};
    GetCursorPos(&cursor);
    m_inMenuLoop = 1;
    const auto alive = AliveToken();
    TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_RIGHTALIGN, cursor.x, cursor.y, 0, owner ? owner : Handle(), nullptr);
    if (*alive)
        m_inMenuLoop = 0;
}

void CToolbar::AddToMenu(HMENU menu, UINT base, BOOL hidden) const
{
    // Items that would run past the bottom of the screen start a new column.
    const int itemHeight = GetSystemMetrics(SM_CYMENU) > 0 ? GetSystemMetrics(SM_CYMENU) : 18;
    const int perColumn = GetSystemMetrics(SM_CYSCREEN) / itemHeight > 1 ? GetSystemMetrics(SM_CYSCREEN) / itemHeight : 1;
    int items = GetMenuItemCount(menu) > 0 ? GetMenuItemCount(menu) : 0;
    auto columnFlag = [&]() -> UINT { return items > 0 && items % perColumn == 0 ? MF_MENUBREAK : 0; };

    CText noDescription;
    if (!noDescription.LoadString(AppInstance(), IDS_NO_DESCRIPTION))
        noDescription = "No description";
    // The program menu belongs to the hidden main window, which stands at
    // the system's DPI; the toolbar may stand on a monitor of another.  Its
    // smallest list whose icons are not smaller than the menu's gives them.
    const int menuSide = MenuIconSide(Dpi::System());
    int iconList = 2;
    for (int sizeIndex = 2; sizeIndex >= 0; --sizeIndex) {
        int side = 0;
        int height = 0;
        // A waiting list has its side already; the button's icon fills it.
        HIMAGELIST list = m_imageLists[sizeIndex].Get();
        if (list && ImageList_GetIconSize(list, &side, &height) && side >= menuSide)
            iconList = sizeIndex;
    }
    for (int i = 0; i < Count(); ++i) {
        const CToolButton* button = m_buttons[i].get();
        if (button->Kind() == kKindSpace) {
            AddSeparator(menu, columnFlag());
        } else {
            const char* text = button->Description().IsEmpty() ? noDescription.c_str() : button->Description().c_str();
            CIconHandle icon = button->GetIcon(iconList);
            if (icon)
                AddMenuItem(menu, base + static_cast<UINT>(i), text, icon.Release(), columnFlag());
            else
                AddMenuItem(menu, base + static_cast<UINT>(i), text, IDI_NO_ICON, columnFlag());
        }
        ++items;
    }
    if (Count() > 0) {
        AddSeparator(menu, columnFlag());
        ++items;
    }
    const struct {
        UINT offset;
        UINT textId;
        UINT iconId;
    } commands[] = {
        {300, static_cast<UINT>(hidden ? IDS_PMENU_SHOW : IDS_PMENU_HIDE),
         static_cast<UINT>(hidden ? IDI_MENU_SHOW : IDI_MENU_HIDE)},
        {301, IDS_PMENU_BRING_TO_FRONT, IDI_MENU_BRING_TO_FRONT},
        {302, IDS_PMENU_PROPERTIES, IDI_MENU_PROPERTIES},
        {303, IDS_PMENU_CLOSE, IDI_MENU_CLOSE},
    };
    for (const auto& command : commands) {
        CText text;
        text.LoadString(AppInstance(), command.textId);
        const UINT greyed = command.offset == 302 && CToolbarPropertySheet::IsOpen() ? MF_GRAYED : 0;
        AddMenuItem(menu, base + command.offset, text.c_str(), command.iconId, columnFlag() | greyed);
        ++items;
    }
}

BOOL CToolbar::OnCommand(UINT id, UINT code, HWND)
{
    int index = -1;
    // Commands count only for a toolbar in the set, and not as notifications.
    if (code != 0 || (m_set && !m_set->FindToolbar(this, index)))
        return FALSE;
    // The menus grey what the protection blocks, but a command can also come posted.
    const DWORD blockedBy = CommandProtection(id);
    if (blockedBy != 0 && IsRestricted(blockedBy))
        return TRUE;
    switch (id) {
    case kToolbarMenuButtonId:
        ShowToolbarMenu(Handle(), FALSE);
        return TRUE;
    case kProgramMenuButtonId: {
        m_inMenuLoop = 1;
        const auto alive = AliveToken();
        if (m_host)
            m_host->ShowProgramMenu();
        if (*alive)
            m_inMenuLoop = 0;
        return TRUE;
    }
    case IDC_TB_HIDE:
        if (m_set) {
            if (m_set->IsHidden(index))
                m_set->Show(index);
            else
                m_set->Hide(index);
        } else {
            Hide(FALSE);
        }
        return TRUE;
    case IDC_TB_ADD_FILE:
    case IDC_TB_ADD_FOLDER:
    case IDC_TB_ADD_URL: {
        if (IsRestricted(kProtectAdd) || CFileButton::PropertiesButton())
            return TRUE;
        const DWORD kind = id == IDC_TB_ADD_FILE ? kKindProgram : (id == IDC_TB_ADD_FOLDER ? kKindFolder : kKindUrl);
        std::unique_ptr<CToolButton> made(NewButtonOfKind(kind, this, App()));
        auto* blank = dynamic_cast<CFileButton*>(made.get());
        CreationData data;
        StoreCreationData(data);
        if (!blank || !blank->Create(data, kCreateWithWindow))
            return TRUE;
        blank->SetFile("");
        if (kind == kKindProgram)
            static_cast<CExecButton*>(blank)->SetStartIn("");
        blank->SetIconFile("");
        CText description;
        if (!description.LoadString(AppInstance(), IDS_BLANK_BUTTON))
            description = "Blank button";
        blank->SetDescription(description.c_str());
        if (!InsertNewButton(std::move(made), nullptr))
            return TRUE;
        m_dirty = 1;
        Relayout(TRUE);
        // A blank button keeps its place only once its pages have given it a target.
        const auto alive = AliveToken();
        blank->ShowProperties();
        if (*alive && IndexOf(blank) >= 0 && !blank->CheckFileOk())
            Remove(blank);
        return TRUE;
    }
    case IDC_TB_ADD_SHORTCUT:
        if (!LaunchLTLApp(IDS_REG_EXPLORER_PATH, IDS_REG_EXPLORER_EXE, FALSE, "Shortcut") && App())
            App()->DisplayMessage(Handle(), IDS_MSG_EXPLORER_SHORTCUT, nullptr, MB_OK | MB_ICONEXCLAMATION,
                                  kCaptionProgramName);
        return TRUE;
    case IDC_TB_LAUNCH_EXPLORER:
        LaunchLTLApp(IDS_REG_EXPLORER_PATH, IDS_REG_EXPLORER_EXE, TRUE, nullptr);
        return TRUE;
    case IDC_TB_DOCK:
    case IDC_TB_UNDOCK:
    case IDC_TB_HORIZONTAL:
    case IDC_TB_VERTICAL:
    case IDC_TB_ALWAYS_ON_TOP:
    case IDC_TB_SHOW_MENU_BUTTON:
        if (id == IDC_TB_DOCK || id == IDC_TB_UNDOCK)
            m_settings.docked = id == IDC_TB_DOCK;
        else if (id == IDC_TB_HORIZONTAL || id == IDC_TB_VERTICAL)
            m_settings.orientation = id == IDC_TB_HORIZONTAL ? kHorizontal : kVertical;
        else if (id == IDC_TB_ALWAYS_ON_TOP)
            m_settings.alwaysOnTop = !m_settings.alwaysOnTop;
        else
            m_settings.showMenuButtons = !m_settings.showMenuButtons;
        m_dirty = 1;
        Relayout(TRUE);
        ArrangeAllDocked();
        return TRUE;
    case IDC_TB_AUTOHIDE:
        m_settings.autohide = !m_settings.autohide;
        m_dirty = 1;
        SetCollapsed(m_settings.autohide);
        return TRUE;
    case kScreenStripCommand:
        if (!IsRestricted(kProtectToolbarProperties))
            SetScreenStripOption(!ScreenStripOption());
        return TRUE;
    case IDC_TB_SAVE:
        Save(FALSE);
        return TRUE;
    case IDC_TB_SAVE_AS:
        Save(TRUE);
        return TRUE;
    case IDC_TB_CLOSE:
        PostMessageA(Handle(), WM_CLOSE, 0, 0);
        return TRUE;
    case IDC_TB_PASTE:
        if (!IsRestricted(kProtectAdd) && !IsRestricted(kProtectClipboard))
            Paste(nullptr, TRUE);
        return TRUE;
    case IDC_TB_PROPERTIES:
        if (!CToolbarPropertySheet::IsOpen())
            CToolbarPropertySheet::Run(*this);
        return TRUE;
    case IDC_TB_QUICK_LOCK:
        ToggleQuickLock(Handle());
        return TRUE;
    default:
        return FALSE;
    }
}

