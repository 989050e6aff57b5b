// Runs what a user does with toolbars over and over and prints what stays
// alive: the handle holders' counts of bitmaps, other GDI objects, icons,
// image lists, menus and atoms, and the process's private bytes.  One cycle
// is RunUseCycle's round (UseCycle.h).  GetGuiResources answers 0 under
// Wine, so these counts are what can be seen there; the running program
// gives the same counts to other processes through UM_LIVEHANDLES.
//
//   leak_cycles [cycles]
#include "UseCycle.h"

#include "app/MainApp.h"
#include "common/ScopedHandle.h"
#include "toolbars/ToolbarSet.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Print(const char* when, int cycle, const LiveHandleCounts& counts, SIZE_T privateBytes)
{
    std::printf("%-6s %5d cycles: bitmaps %ld, other GDI objects %ld, icons %ld, image lists %ld, menus %ld, "
                "atoms %ld, private bytes %lu KB\n",
                when, cycle, counts.bitmaps, counts.otherGdiObjects, counts.icons, counts.imageLists, counts.menus,
                counts.atoms, static_cast<unsigned long>(privateBytes / 1024));
    std::fflush(stdout);
}

// A fresh Wine prefix has no class for programs; Windows always has one.
void RegisterProgramClass()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ".exe", 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return;
    }
    RegSetValueA(HKEY_CLASSES_ROOT, ".exe", REG_SZ, "exefile", 7);
}

} // namespace

int main(int argc, char** argv)
{
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 1000;
    if (cycles <= 0 || FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "usage: leak_cycles [cycles]\n");
        return 2;
    }
    RegisterProgramClass();
    char self[MAX_PATH]{};
    GetModuleFileNameA(nullptr, self, sizeof self);
    char folder[MAX_PATH]{};
    GetTempPathA(sizeof folder, folder);
    const std::string path = std::string(folder) + "leak-cycles.ltl";
    int status = 0;
    {
        CMainApp app(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
        if (!app.RegisterWindowClasses())
            return 1;
        CToolbarSet set(&app, nullptr);
        std::string failure;
        if (!WriteCycleToolbar(app, set, self, self, path, failure)) {
            std::fprintf(stderr, "leak_cycles: %s\n", failure.c_str());
            return 1;
        }
        SetCursorPos(0, 0);
        Print("start", 0, CurrentLiveHandles(), PrivateBytes());
        // The first cycles make what is made once (shared lists, caches):
        // what follows is measured from there.
        const int warmUp = cycles < 3 ? cycles : 3;
        LiveHandleCounts warm;
        SIZE_T warmBytes = 0;
        for (int i = 1; i <= cycles && status == 0; ++i) {
            LiveHandleCounts during;
            if (!RunUseCycle(app, set, path, failure, &during)) {
                std::fprintf(stderr, "leak_cycles: cycle %d: %s\n", i, failure.c_str());
                status = 1;
                break;
            }
            if (i == 1)
                Print("during", i, during, PrivateBytes());
            if (i == warmUp) {
                warm = CurrentLiveHandles();
                warmBytes = PrivateBytes();
                Print("warm", i, warm, warmBytes);
            } else if (i % 250 == 0 || i == cycles) {
                Print("after", i, CurrentLiveHandles(), PrivateBytes());
            }
        }
        if (status == 0) {
            const LiveHandleCounts end = CurrentLiveHandles();
            const SIZE_T endBytes = PrivateBytes();
            const long grown = static_cast<long>((static_cast<long long>(endBytes) - static_cast<long long>(warmBytes)) / 1024);
            std::printf("%s: handle counts %s after the warm-up; private bytes %+ld KB\n",
                        end == warm ? "flat" : "LEAK", end == warm ? "unchanged" : "changed", grown);
            if (!(end == warm))
                status = 1;
        }
    }
    DeleteFileA(path.c_str());
    OleUninitialize();
    return status;
}
