#include "UseCycle.h"

#include "app/MainApp.h"
#include "app/OptionsSheet.h"
#include "app/ProgramMenu.h"
#include "buttons/ButtonPropertySheet.h"
#include "buttons/ExecButton.h"
#include "common/ComPtr.h"
#include "common/ScopedHandle.h"
#include "toolbars/DataObject.h"
#include "toolbars/DropTarget.h"
#include "toolbars/Toolbar.h"
#include "toolbars/ToolbarPropertySheet.h"
#include "toolbars/ToolbarSet.h"

#include <psapi.h>

#include <memory>

namespace {

// Ends whatever modal loop the thread is in: a menu, a sheet or dialog
// (cancelled), a message box (answered No, so nothing is saved).
BOOL CALLBACK EndDialog(HWND window, LPARAM)
{
    char type[16]{};
    if (!IsWindowVisible(window) || !GetClassNameA(window, type, sizeof type) || lstrcmpA(type, "#32770") != 0)
        return TRUE;
    PostMessageA(window, WM_COMMAND, GetDlgItem(window, IDNO) ? IDNO : IDCANCEL, 0);
    return TRUE;
}

// The highest counts seen in the round: menus and their icons live only
// while the menu is up, so they are read from inside its loop, just before
// it is ended.
LiveHandleCounts g_highest;

void NoteCounts()
{
    const LiveHandleCounts now = CurrentLiveHandles();
    long* highest[kLiveKindCount] = {&g_highest.bitmaps, &g_highest.otherGdiObjects, &g_highest.icons,
                                     &g_highest.imageLists, &g_highest.menus, &g_highest.atoms};
    for (int kind = 0; kind < kLiveKindCount; ++kind) {
        if (now.Of(kind) > *highest[kind])
            *highest[kind] = now.Of(kind);
    }
}

void CALLBACK EndModalLoops(HWND, UINT, UINT_PTR, DWORD)
{
    NoteCounts();
    EndMenu();
    EnumThreadWindows(GetCurrentThreadId(), EndDialog, 0);
}

class CModalEnder
{
public:
    CModalEnder() : m_timer(SetTimer(nullptr, 0, USER_TIMER_MINIMUM, EndModalLoops)) {}
    ~CModalEnder() { KillTimer(nullptr, m_timer); }
    CModalEnder(const CModalEnder&) = delete;
    CModalEnder& operator=(const CModalEnder&) = delete;

private:
    UINT_PTR m_timer;
};

void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// Closed without saving: the rounds change the toolbars (a drag), and
// every round must find the file as it was written.  The question whether
// to save is answered No by the modal ender.
void CloseToolbar(CToolbarSet& set, CToolbar* toolbar)
{
    if (!toolbar)
        return;
    const BOOL saveOnClose = set.Options().saveOnClose;
    set.ChangeOptions([](ToolbarSetOptions& options) { options.saveOnClose = FALSE; });
    toolbar->ClearDirty();
    SendMessageA(toolbar->Handle(), WM_CLOSE, 0, 0);
    set.ChangeOptions([saveOnClose](ToolbarSetOptions& options) { options.saveOnClose = saveOnClose; });
}

CToolbar* OpenToolbar(CMainApp& app, CToolbarSet& set, const std::string& path)
{
    auto* toolbar = new CToolbar(&app, &set, nullptr);
    toolbar->SetTitle("Cycled");
    if (!set.Add(toolbar)) {
        delete toolbar;
        return nullptr;
    }
    if (!toolbar->Create("", nullptr) || !toolbar->Open(path.c_str(), kReadAndShow)) {
        CloseToolbar(set, toolbar);
        return nullptr;
    }
    return toolbar;
}

POINTL FreeSpace(CToolbar& toolbar)
{
    RECT client{};
    GetClientRect(toolbar.Handle(), &client);
    POINT point{client.right - 3, client.bottom - 3};
    ClientToScreen(toolbar.Handle(), &point);
    return POINTL{point.x, point.y};
}

// What DragStart hands to OLE and what OLE then does with the target.
BOOL DragButton(CToolbar& from, CToolbar& to)
{
    CToolButton* button = from.Button(0);
    CComPtr<IStorage> storage;
    if (!button || FAILED(CreateTemporaryStorage(storage.put())) || !button->Write2(storage.Get(), kVersionCurrent))
        return FALSE;
    CComPtr<IDataObject> object(new CDataObject(from.App()));
    FORMATETC format = TransferFormatEtc(kFormatButton);
    STGMEDIUM medium{};
    medium.tymed = TYMED_ISTORAGE;
    medium.pstg = storage.Get();
    if (FAILED(object->SetData(&format, &medium, FALSE)))
        return FALSE;
    CComPtr<IDropTarget> target(new CDropTarget(&to));
    const DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    DWORD effect = allowed;
    if (target->DragEnter(object.Get(), MK_LBUTTON, FreeSpace(to), &effect) != S_OK)
        return FALSE;
    effect = allowed;
    target->DragOver(MK_LBUTTON, FreeSpace(to), &effect);
    effect = allowed;
    if (target->Drop(object.Get(), 0, FreeSpace(to), &effect) != S_OK || effect != DROPEFFECT_MOVE)
        return FALSE;
    return from.Remove(button);
}

} // namespace

SIZE_T PrivateBytes()
{
    // Through kernel32's own export: the program targets systems whose psapi
    // would have to be linked for it.
    using Query = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!query || !query(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    // Wine leaves the private usage 0; the commit charge is the same figure.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

BOOL WriteCycleToolbar(CMainApp& app, CToolbarSet& set, const std::string& program, const std::string& iconFile,
                       const std::string& path, std::string& failure)
{
    CModalEnder ender;
    auto* source = new CToolbar(&app, &set, nullptr);
    source->SetTitle("Cycled");
    if (!set.Add(source)) {
        delete source;
        failure = "the toolbar set took no more toolbars";
        return FALSE;
    }
    if (!source->Create("", nullptr))
        failure = "the toolbar's window could not be made";
    for (int i = 0; failure.empty() && i < 3; ++i) {
        auto button = std::make_unique<CExecButton>(source, &app, nullptr);
        CreationData data;
        source->StoreCreationData(data);
        if (!button->Create(program.c_str(), data, kCreateWithWindow)) {
            failure = "a button could not be made for " + program;
            break;
        }
        auto* added = static_cast<CExecButton*>(source->InsertNewButton(std::move(button), nullptr));
        if (!added) {
            failure = "the toolbar took no button";
            break;
        }
        added->SetDefaultIcon(FALSE);
        added->SetIconFile(iconFile.c_str());
        added->SetIconIndex(i % 2);
        if (!added->UpdateIcon(source->ButtonSize(), TRUE))
            failure = "no icon came from " + iconFile;
    }
    if (failure.empty() && !source->WriteToFile(path.c_str(), kVersionCurrent))
        failure = "the toolbar could not be saved as " + path;
    CloseToolbar(set, source);
    return failure.empty();
}

BOOL RunUseCycle(CMainApp& app, CToolbarSet& set, const std::string& path, std::string& failure,
                 LiveHandleCounts* during)
{
    CModalEnder ender;
    g_highest = CurrentLiveHandles();
    CToolbar* first = OpenToolbar(app, set, path);
    CToolbar* second = first ? OpenToolbar(app, set, path) : nullptr;
    BOOL done = FALSE;
    if (!first || !second || first->Count() != 3 || second->Count() != 3) {
        failure = "the toolbar did not open with its three buttons";
    } else {
        // Side by side, the second with free space to drop on.
        SetWindowPos(second->Handle(), HWND_TOP, 400, 100, 300, 200, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        first->ShowToolbarMenu(first->Handle(), FALSE);
        first->Button(0)->OnHold();
        first->Button(1)->OnRightClick(FALSE);
        {
            CProgramMenu menu;
            BuildMenu(menu.Handle(), set);
            TrackPopupMenu(menu.Handle(), TPM_RIGHTBUTTON, 0, 0, 0, first->Handle(), nullptr);
        }
        NoteCounts();
        if (!DragButton(*first, *second) || first->Count() != 2 || second->Count() != 4) {
            failure = "the drag between the toolbars did not move the button";
        } else {
            {
                COptionsSheet sheet(&set, nullptr);
                sheet.Run();
            }
            CToolbarPropertySheet::Run(*second);
            if (auto* button = dynamic_cast<CFileButton*>(second->Button(0))) {
                CButtonPropertySheet sheet(button);
                sheet.Run();
            }
            done = TRUE;
        }
    }
    NoteCounts();
    if (during)
        *during = g_highest;
    CloseToolbar(set, first);
    CloseToolbar(set, second);
    Pump();
    return done;
}
