#include "AddButtonBurst.h"

#include "CompoundFile.h"
#include "Driver.h"

#include <shlobj.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <set>

namespace driver {
namespace {

constexpr UINT kAddButton = WM_USER + 191;
constexpr UINT kCreateToolbar = WM_USER + 194;
// Generous: an answer this late is a hang, not a slow add.
constexpr UINT kAnswerTimeout = 60000;
constexpr UINT kProbeTimeout = 10000;

struct Watch {
    DWORD processId = 0;
    std::string caption;
    HWND toolbar = nullptr;
    std::atomic<bool> stop{false};
    std::atomic<int> fullBoxes{0};
    std::atomic<int> addFailedBoxes{0};
    std::atomic<int> otherBoxes{0};
    std::atomic<int> probes{0};
    std::atomic<int> probesUnanswered{0};
    std::atomic<DWORD> slowestProbe{0};
};

struct BoxSearch {
    Watch* watch;
    std::set<HWND>* answered;
};

BOOL CALLBACK AnswerBox(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<BoxSearch*>(parameter);
    if (WindowProcess(window) != search->watch->processId || ClassName(window) != "#32770" || !IsWindowVisible(window)
        || WindowText(window) != search->watch->caption || search->answered->count(window))
        return TRUE;
    const std::string text = MessageBoxText(window);
    if (text.rfind("The maximum number of buttons", 0) == 0)
        ++search->watch->fullBoxes;
    else if (text.rfind("Failed to add the button", 0) == 0)
        ++search->watch->addFailedBoxes;
    else
        ++search->watch->otherBoxes;
    if (PressButton(window, IDOK))
        search->answered->insert(window);
    return TRUE;
}

DWORD WINAPI AnswerBoxes(void* parameter)
{
    auto* watch = static_cast<Watch*>(parameter);
    std::set<HWND> answered;
    BoxSearch search{watch, &answered};
    while (!watch->stop) {
        EnumWindows(AnswerBox, reinterpret_cast<LPARAM>(&search));
        // A box that has gone frees its handle for another.
        for (auto it = answered.begin(); it != answered.end();)
            it = IsWindow(*it) ? std::next(it) : answered.erase(it);
        Sleep(10);
    }
    return 0;
}

DWORD WINAPI ProbeToolbar(void* parameter)
{
    auto* watch = static_cast<Watch*>(parameter);
    while (!watch->stop) {
        const DWORD start = GetTickCount();
        DWORD_PTR result = 0;
        const bool answered =
            SendMessageTimeoutA(watch->toolbar, WM_NULL, 0, 0, SMTO_NORMAL, kProbeTimeout, &result) != 0;
        const DWORD took = GetTickCount() - start;
        ++watch->probes;
        if (!answered)
            ++watch->probesUnanswered;
        if (took > watch->slowestProbe)
            watch->slowestProbe = took;
        Sleep(25);
    }
    return 0;
}

// One folder as a wide file list, on the clipboard with the plain calls:
// the program reads it through OLE's clipboard all the same.
bool PutFolderOnClipboard(const std::string& path)
{
    return PutFileListOnClipboard({std::wstring(path.begin(), path.end())});
}

} // namespace

HWND CreateToolbarByHandOver(HWND main, DWORD processId, const std::string& name, const std::string& folder)
{
    RecordBytes data;
    // Name, corner, vertical, button size, descriptions, no buttons.
    data.Text(name).U32(0).U32(0).U32(1).U32(0).U32(0);
    CompoundContent content;
    content.streams[L"DATA"] = data.Bytes();
    const std::string path = folder + "\\LTLBURST.tmp";
    if (!WriteCompoundFile(path, content))
        return nullptr;
    const ATOM atom = GlobalAddAtomA(path.c_str());
    if (!atom || !PostMessageA(main, kCreateToolbar, 0, atom))
        return nullptr;
    return WaitForWindow("CToolbarWindow", name.c_str(), kDefaultTimeout, processId);
}

BurstFigures RunAddButtonBurst(HWND main, DWORD processId, HWND toolbar, const std::string& name,
                               const std::string& folder, int count, DWORD pauseMs)
{
    BurstFigures figures;
    const std::string item = folder + "\\Burst item";
    CreateDirectoryA(item.c_str(), nullptr);
    Watch watch;
    watch.processId = processId;
    watch.caption = name;
    watch.toolbar = toolbar;
    HANDLE threads[] = {CreateThread(nullptr, 0, AnswerBoxes, &watch, 0, nullptr),
                        CreateThread(nullptr, 0, ProbeToolbar, &watch, 0, nullptr)};
    const DWORD start = GetTickCount();
    for (int i = 0; i < count; ++i) {
        if (i > 0 && pauseMs)
            Sleep(pauseMs);
        ++figures.sent;
        if (!PutFolderOnClipboard(item)) {
            ++figures.unanswered;
            continue;
        }
        const ATOM atom = GlobalAddAtomA(name.c_str());
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutA(main, kAddButton, atom, 0, SMTO_NORMAL, kAnswerTimeout, &result))
            ++figures.unanswered;
        else if (result)
            ++figures.added;
        else
            ++figures.refused;
        // Every sender adds the same name, so the atom is the same one: it
        // must be gone after each answer, or the table keeps it.
        if (GlobalFindAtomA(name.c_str()) != 0)
            ++figures.atomsLeft;
    }
    figures.elapsedMs = GetTickCount() - start;
    // Boxes shown at the very end still count.
    Sleep(500);
    watch.stop = true;
    for (HANDLE thread : threads) {
        if (thread) {
            WaitForSingleObject(thread, kProbeTimeout + 5000);
            CloseHandle(thread);
        }
    }
    figures.fullBoxes = watch.fullBoxes;
    figures.addFailedBoxes = watch.addFailedBoxes;
    figures.otherBoxes = watch.otherBoxes;
    figures.probes = watch.probes;
    figures.probesUnanswered = watch.probesUnanswered;
    figures.slowestProbeMs = watch.slowestProbe;
    return figures;
}

std::string BurstReport(const BurstFigures& figures)
{
    char text[512];
    std::snprintf(text, sizeof text,
                  "%d sent in %lu ms: %d added, %d refused, %d unanswered; %d atoms left; boxes: %d full, "
                  "%d failed to add, %d other; toolbar asked %d times, %d unanswered, slowest %lu ms",
                  figures.sent, static_cast<unsigned long>(figures.elapsedMs), figures.added, figures.refused,
                  figures.unanswered, figures.atomsLeft, figures.fullBoxes, figures.addFailedBoxes, figures.otherBoxes,
                  figures.probes, figures.probesUnanswered, static_cast<unsigned long>(figures.slowestProbeMs));
    return text;
}

} // namespace driver
