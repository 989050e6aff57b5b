// New toolbars: the "Create New Toolbar" choices, the wizard's toolbars, and
// the file names new toolbars are saved under.
#include "ToolbarSet.h"

#include "OpenProgressDialog.h"
#include "Toolbar.h"
#include "ToolbarFileName.h"
#include "../common/Application.h"
#include "../common/Companions.h"
#include "../buttons/ToolButton.h"
#include "ToolbarHost.h"
#include "../common/DialogBase.h"
#include "../common/Error.h"
#include "../common/ItemId.h"
#include "../common/ShellFolder.h"
#include "../common/TraceLog.h"
#include "../resources/lintel/resource.h"

#include <shlobj.h>

#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace {

class CCreateNewToolbarDialog : public CDialogBase
{
public:
    CCreateNewToolbarDialog(CToolbarSet* set) : CDialogBase(IDD_CREATE_NEW_TOOLBAR, nullptr), m_set(set) {}
    BOOL OnInitDialog() override
    {
        const DWORD stored = m_set->Options().defaultNew;
        const DWORD choice = stored >= 1 && stored <= 3 ? stored : 3;
        CheckRadioButton(Handle(), IDC_NEW_BLANK, IDC_NEW_WIZARD, IDC_NEW_BLANK + choice - 1);
        // The first start comes before any window of ours: be seen.
        SetForegroundWindow(Handle());
        return TRUE;
    }
    BOOL OnCommand(UINT id, UINT code, HWND control) override
    {
        if (id == IDC_DIALOG_HELP) {
            if (m_set->Host())
                m_set->Host()->Help(HELP_CONTEXT, HELP_CREATE_NEW_TOOLBAR, Handle());
            return TRUE;
        }
        if (id == IDOK) {
            for (DWORD choice = 1; choice <= 3; ++choice) {
                if (IsDlgButtonChecked(Handle(), IDC_NEW_BLANK + choice - 1) == BST_CHECKED)
                    m_choice = choice;
            }
        }
        return CDialogBase::OnCommand(id, code, control);
    }
    DWORD Choice() const { return m_choice; }

private:
    CToolbarSet* m_set;
    DWORD m_choice = 3;
};

class CNewToolbarHintDialog : public CDialogBase
{
public:
    CNewToolbarHintDialog(CToolbarSet* set) : CDialogBase(IDD_NEW_TOOLBAR_HINT, nullptr), m_set(set) {}
    BOOL OnCommand(UINT id, UINT code, HWND control) override
    {
        if (id == IDC_DIALOG_HELP) {
            if (m_set->Host())
                m_set->Host()->Help(HELP_CONTEXT, HELP_NEW_TOOLBAR_HINT, Handle());
            EndDialog(Handle(), IDCANCEL);
            return TRUE;
        }
        if (id == IDOK && IsDlgButtonChecked(Handle(), IDC_HINT_DONT_SHOW) == BST_CHECKED) {
            m_set->ChangeOptions([](ToolbarSetOptions& options) { options.newToolbarHelp = FALSE; });
        }
        return CDialogBase::OnCommand(id, code, control);
    }

private:
    CToolbarSet* m_set;
};

enum CreateBlankResult : unsigned long {
    kBlankCreated = 1,
    kBlankNoMemory = 2,
    kBlankNotListed = 3,
    kBlankNotCreated = 4,
};

enum SaveNewResult : unsigned long { kSavedNew = 1, kSaveNewNoFreeName = 2 };

} // namespace

BOOL CToolbarSet::CreateNewToolbar()
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_CREATE_NEW_TOOLBAR);
    CCreateNewToolbarDialog dialog(this);
    if (dialog.DoModal() != IDOK)
        return TRUE;
    m_options.defaultNew = dialog.Choice();
    switch (m_options.defaultNew) {
    case 1: return CreateToolbar(FALSE);
    case 2: return CreateToolbar(TRUE);
    default: return LaunchLTLApp(IDS_REG_NEWWIZ_PATH, IDS_REG_NEWWIZ_EXE, TRUE, nullptr);
    }
}

BOOL CToolbarSet::CreateToolbar(BOOL withDefaultButtons)
{
    CText name;
    if (!name.LoadString(m_application->Instance(), IDS_DEFAULT_TOOLBAR_NAME))
        name = "Lintel";
    const int slot = CreateBlankToolbar(name.c_str());
    if (slot < 0)
        return FALSE;
    CToolbar* toolbar = m_toolbars[slot];
    if (withDefaultButtons) {
        AddDefaultButtons(toolbar);
        toolbar->Relayout(TRUE);
    }
    SaveNew(toolbar);
    if (m_options.newToolbarHelp) {
        CNewToolbarHintDialog hint(this);
        hint.DoModal();
    }
    return TRUE;
}

int CToolbarSet::CreateBlankToolbar(const char* name)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_CREATE_BLANK_TOOLBAR);
    if (m_options.onlyOneOpen)
        CloseAll(0);
    auto* toolbar = new (std::nothrow) CToolbar(m_application, this, m_host);
    if (!toolbar) {
        trace.Result(TR_CREATE_BLANK_TOOLBAR_RESULT, kBlankNoMemory);
        return -1;
    }
    toolbar->SetTitle(name ? name : "");
    if (!Add(toolbar)) {
        delete toolbar;
        trace.Result(TR_CREATE_BLANK_TOOLBAR_RESULT, kBlankNotListed);
        return -1;
    }
    const int slot = m_count - 1;
    if (!toolbar->Create("", nullptr)) {
        delete toolbar;
        m_toolbars[--m_count] = nullptr;
        m_states[m_count] = kShown;
        RefreshToolbarsPage();
        trace.Result(TR_CREATE_BLANK_TOOLBAR_RESULT, kBlankNotCreated);
        return -1;
    }
    toolbar->SetTitle(nullptr);
    toolbar->SetToolTips(m_options.toolTips);
    toolbar->Relayout(TRUE);
    RefreshToolbarsPage();
    trace.Result(TR_CREATE_BLANK_TOOLBAR_RESULT, kBlankCreated);
    return slot;
}

BOOL CToolbarSet::CompleteNewToolbar(int index, BOOL ok)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_COMPLETE_NEW_TOOLBAR);
    CToolbar* toolbar = Toolbar(index);
    if (!toolbar)
        return FALSE;
    if (!ok) {
        SendMessageA(toolbar->Handle(), WM_CLOSE, 0, 0);
        return TRUE;
    }
    if (!SaveNew(toolbar) && !toolbar->SaveAs()) {
        if (TraceOn())
            LogStringId(TR_COMPLETE_NEW_FAILED);
        return FALSE;
    }
    return TRUE;
}

BOOL CToolbarSet::SaveNew(CToolbar* toolbar)
{
    CTraceMethod trace(TR_CTOOLBARSET, TR_SAVE_NEW);
    char directory[MAX_PATH]{};
    GetCurrentDirectoryA(sizeof directory, directory);
    if (TraceOn())
        LogStringIdText(TR_DIRECTORY, directory);
    CText defaultName;
    if (!defaultName.LoadString(m_application->Instance(), IDS_DEFAULT_TOOLBAR_NAME))
        defaultName = "Lintel";
    CText numbered;
    if (!numbered.LoadString(m_application->Instance(), IDS_NUMBERED_TOOLBAR_NAME))
        numbered = "Lintel %d";
    // The toolbar keeps its name; only the file's name is made fit for the
    // file system, and a name with nothing fit in it counts as none.
    const std::string fileBase = ToolbarFileBase(toolbar->Name().c_str());
    const bool named = !fileBase.empty();
    for (int n = 0; n < 100; ++n) {
        char base[300]{};
        if (n == 0)
            std::snprintf(base, sizeof base, "%s", named ? fileBase.c_str() : defaultName.c_str());
        else if (named)
            std::snprintf(base, sizeof base, "%s %d", fileBase.c_str(), n);
        else
            std::snprintf(base, sizeof base, numbered.c_str(), n);
        char candidate[MAX_PATH]{};
        const int length = std::snprintf(candidate, sizeof candidate, "%s\\%s.ltl", directory, base);
        if (length <= 0 || length >= static_cast<int>(sizeof candidate))
            continue;
        if (GetFileAttributesA(candidate) != INVALID_FILE_ATTRIBUTES)
            continue;
        toolbar->WriteToFile(candidate, 0);
        // The name is the toolbar's even when the write failed: the user
        // saves it again from its menu.
        toolbar->SetFileName(candidate);
        AddRecentToolbar(candidate);
        trace.Result(TR_SAVE_NEW_RESULT, kSavedNew);
        return TRUE;
    }
    trace.Result(TR_SAVE_NEW_RESULT, kSaveNewNoFreeName);
    return FALSE;
}

BOOL CToolbarSet::SetDocking(int index, DWORD corner, BOOL vertical)
{
    CToolbar* toolbar = Toolbar(index);
    static const int corners[] = {0, kCornerTopLeft, kCornerTopRight, kCornerBottomLeft, kCornerBottomRight};
    if (!toolbar || corner > 4)
        return FALSE;
    toolbar->ChangeSettings([&](ToolbarSettings& settings) {
        settings.docked = corner != 0;
        if (corner != 0)
            settings.dockCorner = corners[corner];
        settings.orientation = vertical ? kVertical : kHorizontal;
    });
    return TRUE;
}

BOOL CToolbarSet::SetButtonStyle(int index, DWORD size, BOOL showDescriptions)
{
    CToolbar* toolbar = Toolbar(index);
    if (!toolbar || size > 2)
        return FALSE;
    toolbar->SetButtonSize(static_cast<int>(size));
    toolbar->ChangeSettings([&](ToolbarSettings& settings) { settings.showDescription = showDescriptions ? TRUE : FALSE; });
    return TRUE;
}

BOOL CToolbarSet::AddDefaultButtons(CToolbar* toolbar)
{
    COpenProgressDialog progress(m_application);
    progress.Create(m_host ? m_host->Window() : nullptr);
    CText caption;
    if (caption.LoadString(m_application->Instance(), IDS_CREATING))
        progress.SetCaption(caption.c_str());
    progress.SetItem(toolbar->Name().c_str());
    progress.SetRange(3);
    progress.SetPosition(0);
    BOOL any = FALSE;

    CText explorer;
    if (GetLTLAppLocation(IDS_REG_EXPLORER_PATH, IDS_REG_EXPLORER_EXE, explorer)
        && GetFileAttributesA(explorer.c_str()) != INVALID_FILE_ATTRIBUTES)
        any |= toolbar->AddButtonFromPath(explorer.c_str());

    progress.SetPosition(1);
    CItemId desktop;
    CItemId myComputer(CSIDL_DRIVES);
    any |= toolbar->AddButtonFromItemIds(desktop, myComputer);

    CItemId controlPanel(CSIDL_CONTROLS);
    CItemId last;
    try {
        // A single-item list has the desktop as its parent.
        if (!controlPanel.Split(&last)) {
            CItemId parent;
            any |= toolbar->AddButtonFromItemIds(parent, last);
        } else {
            any |= toolbar->AddButtonFromItemIds(controlPanel, last);
        }
    } catch (const CError&) {
        // No control panel on this system: the button is left out.
    }
    any |= toolbar->AddButton(kKindSpace, nullptr) != nullptr;

    progress.SetPosition(2);
    CItemId programs(CSIDL_PROGRAMS);
    CShellFolder folder(programs);
    std::unique_ptr<CEnumIdList> items;
    if (folder.IsValid() && folder.EnumObjects(SHCONTF_NONFOLDERS, items) && items) {
        CItemId item;
        while (items->Next(item) && toolbar->Count() < CToolbar::kMaxButtons)
            any |= toolbar->AddButtonFromItemIds(programs, item);
    }
    progress.Destroy();
    return any;
}

BOOL CToolbarSet::PasteIntoToolbar(int index)
{
    CToolbar* toolbar = Toolbar(index);
    return toolbar && toolbar->Paste();
}
