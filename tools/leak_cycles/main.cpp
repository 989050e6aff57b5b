// Runs what a user does with a toolbar over and over and prints what stays
// alive: the holders' counts of GDI objects, icons, menus and atoms, and the
// process's private bytes.  One cycle opens a toolbar of three program
// buttons with icons from its file, shows and closes the toolbar menu, a
// button's hold menu and its context menu, opens and cancels the Options
// sheet, and closes the toolbar.  (GetGuiResources answers 0 under Wine, so
// these counts are what can be seen there.)
//
//   leak_cycles [cycles]
#include "app/MainApp.h"
#include "app/OptionsSheet.h"
#include "buttons/ButtonFactory.h"
#include "buttons/ExecButton.h"
#include "common/ScopedHandle.h"
#include "toolbars/Toolbar.h"
#include "toolbars/ToolbarSet.h"

#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void CALLBACK EndModalLoop(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND sheet = FindWindowA(nullptr, "Lintel Options"))
        PostMessageA(sheet, WM_COMMAND, IDCANCEL, 0);
    EndMenu();
}

// Runs a step that enters a modal loop, which a timer then ends.
template <class Step>
void EndedModal(Step step)
{
    const UINT_PTR timer = SetTimer(nullptr, 0, USER_TIMER_MINIMUM, EndModalLoop);
    step();
    KillTimer(nullptr, timer);
}

SIZE_T PrivateBytes()
{
    using Query = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    const auto query =
        reinterpret_cast<Query>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo"));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!query || !query(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    return counters.PrivateUsage;
}

void Print(const char* when, int cycle)
{
    const LiveHandleCounts counts = CurrentLiveHandles();
    std::printf("%-6s %5d cycles: GDI objects %ld, icons %ld, menus %ld, atoms %ld, private bytes %lu KB\n", when,
                cycle, counts.gdiObjects, counts.icons, counts.menus, counts.atoms,
                static_cast<unsigned long>(PrivateBytes() / 1024));
    std::fflush(stdout);
}

bool Cycle(CMainApp& app, CToolbarSet& set, const std::string& path)
{
    auto* toolbar = new CToolbar(&app, &set, nullptr);
    toolbar->SetTitle("Cycled");
    if (!set.Add(toolbar) || !toolbar->Create("", nullptr) || !toolbar->Open(path.c_str(), kReadAndShow)
        || toolbar->Count() != 3)
        return false;
    EndedModal([&] { toolbar->ShowToolbarMenu(toolbar->Handle(), FALSE); });
    EndedModal([&] { toolbar->Button(0)->OnHold(); });
    EndedModal([&] { toolbar->Button(1)->OnRightClick(FALSE); });
    EndedModal([&] {
        COptionsSheet sheet(&set, nullptr);
        sheet.Run();
    });
    SendMessageA(toolbar->Handle(), WM_CLOSE, 0, 0);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageA(&message);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (cycles <= 0 || FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "usage: leak_cycles [cycles]\n");
        return 2;
    }
    char self[MAX_PATH]{};
    GetModuleFileNameA(nullptr, self, sizeof self);
    char folder[MAX_PATH]{};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "leak-cycles.ltl";
    {
        CMainApp app(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
        if (!app.RegisterWindowClasses())
            return 1;
        CToolbarSet set(&app, nullptr);
        CToolbar source(&app, nullptr, nullptr);
        source.SetTitle("Cycled");
        for (int i = 0; i < 3; ++i) {
            std::unique_ptr<CToolButton> button = NewButtonOfKind(kKindProgram, &source, &app);
            CreationData data;
            source.StoreCreationData(data);
            if (!button || !button->Create(self, data, kCreateRecordOnly)
                || !source.InsertNewButton(std::move(button), nullptr)) {
                std::fprintf(stderr, "leak_cycles: button %d could not be made\n", i);
                return 1;
            }
        }
        if (!source.WriteToFile(path.c_str(), 0)) {
            std::fprintf(stderr, "leak_cycles: the toolbar could not be saved\n");
            return 1;
        }
        SetCursorPos(0, 0);
        Print("start", 0);
        // The first cycles make what is made once (shared lists, caches).
        for (int i = 1; i <= cycles; ++i) {
            if (!Cycle(app, set, path)) {
                std::fprintf(stderr, "leak_cycles: cycle %d failed\n", i);
                return 1;
            }
            if (i == 3)
                Print("warm", i);
            else if (i % 250 == 0 || i == cycles)
                Print("after", i);
        }
    }
    DeleteFileA(path.c_str());
    OleUninitialize();
    return 0;
}
