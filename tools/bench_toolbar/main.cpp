// Times opening and saving a toolbar of 256 program buttons with icons, and,
// for comparison, their floors: reading the same streams with the
// structured-storage calls alone plus making the icons' bitmaps from them,
// and writing the same streams through the same temporary file that replaces
// the old one.  Prints the figures, their floors and the ratios.  Then counts
// how often the user-interface thread wakes in 10 s with two toolbars open
// (one of them autohide) and the mouse away from both, after the mouse has
// been over each: the floor is none.  Last it starts Lintel.exe (beside it)
// with ten such toolbars to open and times it to its tray icon against ten
// opening floors, and sets the private bytes it then holds beyond an empty
// start against the pixel bytes of the icons in its image lists.  An opened
// toolbar fills only the list of the size it shows; the other two sizes are
// timed apart, as the first size change or save of the toolbar pays them.
//
//   bench_toolbar [iterations]
#include "app/MainApp.h"
#include "buttons/ButtonFactory.h"
#include "buttons/ExecButton.h"
#include "buttons/IconListSnapshot.h"
#include "common/ComPtr.h"
#include "common/SafeStorage.h"
#include "common/ScopedHandle.h"
#include "toolbars/Toolbar.h"
#include "toolbars/ToolbarSet.h"

#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

using Streams = std::map<std::wstring, std::vector<BYTE>>;

struct Tree {
    Streams streams;
    std::map<std::wstring, Streams> storages;
};

double Now()
{
    LARGE_INTEGER frequency{}, counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void ReadStreams(IStorage* storage, Streams& streams, std::map<std::wstring, Streams>* storages)
{
    CComPtr<IEnumSTATSTG> elements;
    if (FAILED(storage->EnumElements(0, nullptr, 0, elements.put())))
        return;
    STATSTG stat{};
    while (elements->Next(1, &stat, nullptr) == S_OK) {
        const std::wstring name = stat.pwcsName;
        CoTaskMemFree(stat.pwcsName);
        if (stat.type == STGTY_STREAM) {
            CComPtr<IStream> stream;
            storage->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put());
            std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
            ULONG got = 0;
            if (stream && !bytes.empty())
                stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
            streams[name] = bytes;
        } else if (stat.type == STGTY_STORAGE && storages) {
            CComPtr<IStorage> inner;
            storage->OpenStorage(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, inner.put());
            if (inner)
                ReadStreams(inner.Get(), (*storages)[name], nullptr);
        }
    }
}

bool ReadTree(const wchar_t* path, Tree& tree)
{
    CComPtr<IStorage> root;
    if (FAILED(StgOpenStorage(path, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, root.put())))
        return false;
    tree = Tree{};
    ReadStreams(root.Get(), tree.streams, &tree.storages);
    return true;
}

void WriteStreams(IStorage* storage, const Streams& streams)
{
    for (const auto& [name, bytes] : streams) {
        CComPtr<IStream> stream;
        storage->CreateStream(name.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0, stream.put());
        ULONG written = 0;
        if (stream && !bytes.empty())
            stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    }
}

// A compound file in memory: the writes without the disk.
CComPtr<IStorage> MemoryStorage()
{
    CComPtr<ILockBytes> bytes;
    CComPtr<IStorage> storage;
    if (SUCCEEDED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put())))
        StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0,
                                     storage.put());
    return storage;
}

// The same elements written into a compound file in memory.
void WriteTreeInMemory(const Tree& tree)
{
    CComPtr<IStorage> root = MemoryStorage();
    if (!root)
        return;
    WriteStreams(root.Get(), tree.streams);
    for (const auto& [name, streams] : tree.storages) {
        CComPtr<IStorage> inner;
        root->CreateStorage(name.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0, inner.put());
        if (inner)
            WriteStreams(inner.Get(), streams);
    }
    root->Commit(STGC_DEFAULT);
}

// Written as the toolbar saves: into a temporary file beside the target,
// which then replaces it.
bool WriteTree(const std::string& path, const Tree& tree)
{
    std::string folder = path.substr(0, path.find_last_of('\\'));
    char temporary[MAX_PATH]{};
    if (!GetTempFileNameA(folder.c_str(), "ltl", 0, temporary))
        return false;
    const std::string name(temporary);
    const std::wstring wide(name.begin(), name.end());
    CComPtr<IStorage> root;
    if (FAILED(StgCreateDocfile(wide.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_READWRITE, 0, root.put())))
        return false;
    WriteStreams(root.Get(), tree.streams);
    for (const auto& [name, streams] : tree.storages) {
        CComPtr<IStorage> inner;
        root->CreateStorage(name.c_str(), STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0, inner.put());
        if (inner)
            WriteStreams(inner.Get(), streams);
    }
    const bool committed = SUCCEEDED(root->Commit(STGC_DEFAULT));
    root.Reset();
    return committed && MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
}

// One stored bitmap made into a GDI bitmap straight from the bytes in memory:
// header, colour table, rows.  The masks come out monochrome from a memory DC.
size_t MakeBitmap(const std::vector<BYTE>& bytes, size_t at, HDC screen, HDC memory, int& made)
{
    if (at + sizeof(BITMAPINFOHEADER) > bytes.size())
        return bytes.size();
    BITMAPINFOHEADER header{};
    std::memcpy(&header, bytes.data() + at, sizeof header);
    const size_t table = header.biBitCount <= 8 ? (4u << header.biBitCount) : 1024u;
    const size_t pixels = at + sizeof header + table;
    if (pixels + header.biSizeImage > bytes.size())
        return bytes.size();
    HBITMAP bitmap = CreateDIBitmap(header.biBitCount == 1 ? memory : screen, &header, CBM_INIT,
                                    bytes.data() + pixels, reinterpret_cast<const BITMAPINFO*>(bytes.data() + at),
                                    DIB_RGB_COLORS);
    if (bitmap) {
        ++made;
        DeleteObject(bitmap);
    }
    return pixels + header.biSizeImage;
}

// The bitmaps of every icon stream in a tree: two hotspot longs, then the
// mask and the colour bitmap.
int MakeIconBitmaps(const Tree& tree)
{
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    int made = 0;
    for (const auto& [name, streams] : tree.storages) {
        for (const wchar_t* icon : {L"SMALL", L"NORMAL", L"LARGE"}) {
            const auto found = streams.find(icon);
            if (found == streams.end())
                continue;
            const size_t colour = MakeBitmap(found->second, 8, screen, memory, made);
            MakeBitmap(found->second, colour, screen, memory, made);
        }
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return made;
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

struct Wakes {
    int wakes = 0;
    int timers = 0;
};

// Serves this thread's messages for the time given, counting the times its
// wait ended and the timer messages it found.
Wakes Serve(DWORD milliseconds)
{
    Wakes seen;
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD passed = GetTickCount() - start;
        if (passed >= milliseconds)
            break;
        if (MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds - passed, QS_ALLINPUT, MWMO_INPUTAVAILABLE)
            == WAIT_TIMEOUT)
            break;
        ++seen.wakes;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_TIMER)
                ++seen.timers;
            DispatchMessageA(&message);
        }
    }
    return seen;
}

// The full toolbar from the file and an empty autohide one, each visited by
// the mouse, then left alone for 10 s.
bool IdleWakes(const std::string& file, Wakes& idle)
{
    CMainApp app(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    if (!app.RegisterWindowClasses())
        return false;
    CToolbarSet set(&app, nullptr);
    if (!set.AddFromFile(file.c_str(), FALSE, nullptr, FALSE))
        return false;
    auto* hiding = new CToolbar(&app, &set, nullptr);
    hiding->SetTitle("Hiding");
    if (!set.Add(hiding) || !hiding->Create("", nullptr))
        return false;
    hiding->ChangeSettings([](ToolbarSettings& s) {
        s.docked = FALSE;
        s.autohide = TRUE;
    });
    SetWindowPos(hiding->Handle(), HWND_TOP, 600, 400, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    for (int i = 0; i < set.Count(); ++i) {
        CToolbar* toolbar = set.Toolbar(i);
        RECT window{};
        GetWindowRect(toolbar->Handle(), &window);
        SetCursorPos(window.left + 3, window.top + 3);
        SendMessageA(toolbar->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
        Serve(300);
    }
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    Serve(1000);
    idle = Serve(10000);
    return true;
}


// ---------------------------------------------------------------- start-up

constexpr int kStartupToolbars = 10;
const char kUserKey[] = "Software\\Corvane\\Lintel\\Current";

// The tray accepts a change only for an icon it holds.
bool TrayHasIcon(HWND window)
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = window;
    data.uID = 1;
    data.uFlags = NIF_TIP;
    lstrcpynA(data.szTip, "Lintel", sizeof data.szTip);
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

struct MainWindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<MainWindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    char type[64]{};
    GetClassNameA(window, type, sizeof type);
    if (processId == search->processId && std::strcmp(type, "LintelMainWindow") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct Start {
    double seconds = 0;          // from CreateProcess to the tray icon
    SIZE_T privateBytes = 0;     // once the icon is there and the toolbars have settled
    int toolbars = 0;
    int threads = 0;
    bool ok = false;
};

struct ToolbarCount {
    DWORD processId;
    int toolbars;
};

BOOL CALLBACK CountToolbar(HWND window, LPARAM parameter)
{
    auto* counting = reinterpret_cast<ToolbarCount*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char type[64]{};
    GetClassNameA(window, type, sizeof type);
    if (owner == counting->processId && std::strcmp(type, "CToolbarWindow") == 0)
        ++counting->toolbars;
    return TRUE;
}

int CountToolbars(DWORD processId)
{
    ToolbarCount count{processId, 0};
    EnumWindows(CountToolbar, reinterpret_cast<LPARAM>(&count));
    return count.toolbars;
}

// Through kernel32's own export: the programs target systems whose psapi
// would have to be linked for it.
SIZE_T PrivateBytesOf(HANDLE process)
{
    using Query = BOOL(WINAPI*)(HANDLE, PROCESS_MEMORY_COUNTERS*, DWORD);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "K32GetProcessMemoryInfo")));
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!query || !query(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters))
        return 0;
    // Wine leaves the private usage 0; the commit charge is the same figure.
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

int ThreadsOf(DWORD processId)
{
    // The snapshot fails as INVALID_HANDLE_VALUE, as CreateFile does.
    CFileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot)
        return 0;
    int threads = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot.Get(), &entry); more; more = Thread32Next(snapshot.Get(), &entry)) {
        if (entry.th32OwnerProcessID == processId)
            ++threads;
    }
    return threads;
}

DWORD WINAPI WaitForStop(void* stop)
{
    WaitForSingleObject(static_cast<HANDLE>(stop), INFINITE);
    return 0;
}

// What one more waiting thread adds to a process's private bytes here.  Under
// Wine it is about a megabyte whatever the stack's size, where Windows
// charges a thread only the stack pages it has used.
double PrivateBytesPerThread()
{
    constexpr int kThreads = 4;
    CHandle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!stop)
        return 0.0;
    const SIZE_T before = PrivateBytesOf(GetCurrentProcess());
    CHandle threads[kThreads];
    HANDLE waited[kThreads]{};
    int made = 0;
    for (; made < kThreads; ++made) {
        threads[made].Reset(CreateThread(nullptr, 0, WaitForStop, stop.Get(), 0, nullptr));
        if (!threads[made])
            break;
        waited[made] = threads[made].Get();
    }
    Sleep(300);
    const SIZE_T after = PrivateBytesOf(GetCurrentProcess());
    SetEvent(stop.Get());
    if (made)
        WaitForMultipleObjects(made, waited, TRUE, 5000);
    return made && after > before ? static_cast<double>(after - before) / made : 0.0;
}

// Starts Lintel.exe with the toolbar files listed as the ones open at the
// last exit, and waits for its tray icon.
Start StartLintel(const std::vector<std::string>& files)
{
    Start start;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kUserKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return start;
    const DWORD count = static_cast<DWORD>(files.size());
    const DWORD no = 0;
    RegSetValueExA(key, "NumToolbars", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count), sizeof count);
    RegSetValueExA(key, "ShowTips", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&no), sizeof no);
    for (size_t i = 0; i < files.size(); ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "Toolbar%02u", static_cast<unsigned>(i + 1));
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(files[i].c_str()),
                       static_cast<DWORD>(files[i].size() + 1));
    }
    RegCloseKey(key);

    char self[MAX_PATH]{};
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string program(self);
    program = program.substr(0, program.find_last_of('\\')) + "\\Lintel.exe";
    std::string command = "\"" + program + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    const double began = Now();
    if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return start;
    CloseHandle(process.hThread);
    MainWindowSearch search{process.dwProcessId, nullptr};
    // Generous: ten full toolbars take a while under Wine on a loaded machine.
    while (Now() - began < 300) {
        if (!search.found)
            EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        if (search.found && TrayHasIcon(search.found)) {
            start.seconds = Now() - began;
            start.ok = true;
            break;
        }
        Sleep(5);
    }
    if (start.ok) {
        // What the toolbars hold once they are on screen.
        Sleep(2000);
        start.toolbars = CountToolbars(process.dwProcessId);
        start.threads = ThreadsOf(process.dwProcessId);
        start.privateBytes = PrivateBytesOf(process.hProcess);
    }
    if (search.found)
        PostMessageA(search.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    return start;
}

// The pixel bytes of one button's icon in an image list: 32-bit colour and a
// 1-bit mask whose rows are padded to 16 bits.
SIZE_T IconPixelBytes(int size)
{
    return static_cast<SIZE_T>(size) * size * 4 + static_cast<SIZE_T>((size + 15) / 16 * 2) * size;
}

} // namespace

int main(int argc, char** argv)
{
    const int iterations = argc > 1 ? std::atoi(argv[1]) : 10;
    if (iterations <= 0 || FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "usage: bench_toolbar [iterations]\n");
        return 2;
    }
    RegisterProgramClass();
    char self[MAX_PATH]{};
    GetModuleFileNameA(nullptr, self, sizeof self);
    char folder[MAX_PATH]{};
    GetTempPathA(sizeof folder, folder);
    const std::string file = std::string(folder) + "bench-toolbar.ltl";
    const std::string bare = std::string(folder) + "bench-bare.ltl";
    const std::wstring wideFile(file.begin(), file.end());
    const std::wstring wideBare(bare.begin(), bare.end());

    // The toolbar: 256 program buttons, each with its three icons.
    auto toolbar = std::make_unique<CToolbar>(nullptr, nullptr, nullptr);
    toolbar->SetTitle("Benchmark");
    for (int i = 0; i < CToolbar::kMaxButtons; ++i) {
        std::unique_ptr<CToolButton> button = NewButtonOfKind(kKindProgram, toolbar.get(), nullptr);
        CreationData data;
        toolbar->StoreCreationData(data);
        if (!button || !button->Create(self, data, kCreateRecordOnly)
            || !toolbar->InsertNewButton(std::move(button), nullptr)) {
            std::fprintf(stderr, "bench_toolbar: button %d could not be made\n", i);
            return 1;
        }
    }

    // The same elements and bytes, written and read without the toolbar code.
    Tree tree;
    if (!toolbar->WriteToFile(file.c_str(), 0) || !ReadTree(wideFile.c_str(), tree)) {
        std::fprintf(stderr, "bench_toolbar: the saved file could not be read back\n");
        return 1;
    }
    // Each figure is timed right beside its floor, turn about: the load of a
    // shared machine changes from one minute to the next, and timing all of
    // one and then all of the other measured the load as much as the code.
    double saving = 0;
    double opening = 0;
    double filling = 0;
    double bareWriting = 0;
    double bareReading = 0;
    double bitmapMaking = 0;
    int bitmaps = 0;
    for (int i = 0; i < iterations; ++i) {
        double start = Now();
        if (!toolbar->WriteToFile(file.c_str(), 0)) {
            std::fprintf(stderr, "bench_toolbar: the toolbar could not be saved\n");
            return 1;
        }
        saving += Now() - start;
        start = Now();
        WriteTree(bare, tree);
        bareWriting += Now() - start;
        start = Now();
        {
            CToolbar reader(nullptr, nullptr, nullptr);
            if (!reader.Open(file.c_str(), 2) || reader.Count() != CToolbar::kMaxButtons) {
                std::fprintf(stderr, "bench_toolbar: the toolbar could not be opened\n");
                return 1;
            }
            opening += Now() - start;
            start = Now();
            if (!reader.ImageList(0) || !reader.ImageList(2)) {
                std::fprintf(stderr, "bench_toolbar: the opened toolbar's other sizes could not be filled\n");
                return 1;
            }
            filling += Now() - start;
        }
        start = Now();
        Tree back;
        ReadTree(wideBare.c_str(), back);
        bareReading += Now() - start;
        start = Now();
        bitmaps = MakeIconBitmaps(back);
        bitmapMaking += Now() - start;
    }
    // The disk's share of a save varies with what else the machine writes:
    // the same writes into memory show what the toolbar's code adds alone.
    double savingInMemory = 0;
    double bareWritingInMemory = 0;
    for (int i = 0; i < iterations; ++i) {
        double start = Now();
        CComPtr<IStorage> memory = MemoryStorage();
        if (!memory || !toolbar->Write(memory.Get())) {
            std::fprintf(stderr, "bench_toolbar: the toolbar could not be written into memory\n");
            return 1;
        }
        memory->Commit(STGC_DEFAULT);
        savingInMemory += Now() - start;
        start = Now();
        WriteTreeInMemory(tree);
        bareWritingInMemory += Now() - start;
    }
    // The icons alone, the old way (each taken out of its list as an icon and
    // its bitmaps written) and copied out of the lists read once.
    double iconsThroughIcons = 0;
    double iconsCopied = 0;
    for (int i = 0; i < iterations; ++i) {
        for (int copied = 0; copied < 2; ++copied) {
            CComPtr<IStorage> memory = MemoryStorage();
            const double start = Now();
            {
                std::unique_ptr<CIconListSnapshot> snapshot(copied ? new CIconListSnapshot : nullptr);
                for (int b = 0; b < toolbar->Count(); ++b) {
                    wchar_t name[16];
                    wsprintfW(name, L"BUTTON%03d", b);
                    CComPtr<IStorage> inner;
                    memory->CreateStorage(name, STGM_CREATE | STGM_SHARE_EXCLUSIVE | STGM_WRITE, 0, 0, inner.put());
                    for (int sizeIndex = 2; sizeIndex >= 0; --sizeIndex)
                        toolbar->Button(b)->WriteIconToFile(sizeIndex, inner.Get());
                }
            }
            (copied ? iconsCopied : iconsThroughIcons) += Now() - start;
        }
    }
    // Where opening spends its time beyond the floor: the checked open of
    // the container alone (read into memory, checked, walked once).
    double checkedOpening = 0;
    for (int i = 0; i < iterations; ++i) {
        const double start = Now();
        CComPtr<IStorage> checked;
        OpenCompoundFile(file.c_str(), checked.put());
        checkedOpening += Now() - start;
    }
    // The same ten toolbars held in this process without windows: what
    // their buttons and lists take with the shown size alone, and once every
    // size is filled.
    double heldShown = 0;
    double heldAll = 0;
    {
        const SIZE_T before = PrivateBytesOf(GetCurrentProcess());
        std::vector<std::unique_ptr<CToolbar>> held;
        for (int i = 0; i < kStartupToolbars; ++i) {
            held.push_back(std::make_unique<CToolbar>(nullptr, nullptr, nullptr));
            if (!held.back()->Open(file.c_str(), 2)) {
                std::fprintf(stderr, "bench_toolbar: the toolbar could not be opened\n");
                return 1;
            }
        }
        heldShown = static_cast<double>(PrivateBytesOf(GetCurrentProcess())) - static_cast<double>(before);
        for (const auto& toolbar : held) {
            toolbar->ImageList(0);
            toolbar->ImageList(2);
        }
        heldAll = static_cast<double>(PrivateBytesOf(GetCurrentProcess())) - static_cast<double>(before);
    }
    Wakes idle;
    const bool idleMeasured = IdleWakes(file, idle);

    // Ten toolbars of the program's start-up, each its own file and name.
    std::vector<std::string> startupFiles;
    double startupFloor = 0;
    for (int i = 0; i < kStartupToolbars; ++i) {
        const std::string path = std::string(folder) + "bench-startup-" + std::to_string(i + 1) + ".ltl";
        toolbar->SetTitle(("Benchmark " + std::to_string(i + 1)).c_str());
        if (!toolbar->WriteToFile(path.c_str(), 0)) {
            std::fprintf(stderr, "bench_toolbar: start-up toolbar %d could not be saved\n", i + 1);
            return 1;
        }
        startupFiles.push_back(path);
        const std::wstring widePath(path.begin(), path.end());
        const double start = Now();
        Tree back;
        ReadTree(widePath.c_str(), back);
        MakeIconBitmaps(back);
        startupFloor += Now() - start;
    }
    const Start empty = StartLintel({});
    const Start full = StartLintel(startupFiles);
    StartLintel({});   // the next start of the program finds no toolbars to open
    for (const std::string& path : startupFiles)
        DeleteFileA(path.c_str());
    // Lintel shows the toolbars at their stored size, normal (32 pixels).
    const SIZE_T shownBytes = IconPixelBytes(32) * CToolbar::kMaxButtons * kStartupToolbars;
    const SIZE_T iconBytes = (IconPixelBytes(16) + IconPixelBytes(32) + IconPixelBytes(48)) * CToolbar::kMaxButtons
                             * kStartupToolbars;
    DeleteFileA(file.c_str());
    DeleteFileA(bare.c_str());

    const double ms = 1000.0 / iterations;
    std::printf("toolbar of %d program buttons with icons, %d iterations\n", CToolbar::kMaxButtons, iterations);
    const double openFloor = bareReading + bitmapMaking;
    std::printf("save:  %8.2f ms   floor %8.2f ms (bare write, temporary file replacing the old)   ratio %.2f\n",
                saving * ms, bareWriting * ms, bareWriting > 0 ? saving / bareWriting : 0.0);
    std::printf("       into memory: %8.2f ms   floor %8.2f ms (bare write into memory)   ratio %.2f\n",
                savingInMemory * ms, bareWritingInMemory * ms,
                bareWritingInMemory > 0 ? savingInMemory / bareWritingInMemory : 0.0);
    std::printf("       the icons alone into memory: %8.2f ms copied from the lists, %8.2f ms through icons\n",
                iconsCopied * ms, iconsThroughIcons * ms);
    std::printf("open:  %8.2f ms   floor %8.2f ms (bare read %.2f + %d icon bitmaps %.2f)   ratio %.2f\n",
                opening * ms, openFloor * ms, bareReading * ms, bitmaps, bitmapMaking * ms,
                openFloor > 0 ? opening / openFloor : 0.0);
    std::printf("       of which the checked open of the container alone: %8.2f ms\n", checkedOpening * ms);
    std::printf("       the two sizes not shown, filled when first needed: %8.2f ms; with the open %8.2f ms, ratio %.2f\n",
                filling * ms, (opening + filling) * ms, openFloor > 0 ? (opening + filling) / openFloor : 0.0);
    if (idleMeasured)
        std::printf("idle:  %8d wake-ups in 10 s (%d of them timers)   floor 0\n", idle.wakes, idle.timers);
    else
        std::printf("idle:  the toolbars could not be opened\n");
    if (empty.ok && full.ok) {
        std::printf("start: %8.2f ms   floor %8.2f ms (ten opening floors)   ratio %.2f   (%d toolbars; an empty start "
                    "%.2f ms)\n",
                    full.seconds * 1000, startupFloor * 1000, startupFloor > 0 ? full.seconds / startupFloor : 0.0,
                    full.toolbars, empty.seconds * 1000);
        const SIZE_T beyond = full.privateBytes > empty.privateBytes ? full.privateBytes - empty.privateBytes : 0;
        std::printf("memory: %7.1f MB   floor %7.1f MB (pixel bytes of the icons held: %d at the size shown)   "
                    "ratio %.2f   (beyond an empty start of %.1f MB)\n",
                    beyond / 1048576.0, shownBytes / 1048576.0, CToolbar::kMaxButtons * kStartupToolbars,
                    shownBytes ? static_cast<double>(beyond) / static_cast<double>(shownBytes) : 0.0,
                    empty.privateBytes / 1048576.0);
        std::printf("       against all three sizes' pixel bytes, as held once every size is filled: floor %7.1f MB   "
                    "ratio %.2f\n",
                    iconBytes / 1048576.0, iconBytes ? static_cast<double>(beyond) / static_cast<double>(iconBytes) : 0.0);
        const double perThread = PrivateBytesPerThread();
        std::printf("       threads: %d, against %d at the empty start; one more waiting thread adds %.2f MB here\n",
                    full.threads, empty.threads, perThread / 1048576.0);
        std::printf("       the ten toolbars opened here without windows: %.1f MB (ratio %.2f to the shown icons); "
                    "every size filled: %.1f MB (ratio %.2f to all three sizes)\n",
                    heldShown / 1048576.0, shownBytes ? heldShown / static_cast<double>(shownBytes) : 0.0,
                    heldAll / 1048576.0, iconBytes ? heldAll / static_cast<double>(iconBytes) : 0.0);
    } else {
        std::printf("start: Lintel.exe did not start to its tray icon\n");
    }
    OleUninitialize();
    return 0;
}
