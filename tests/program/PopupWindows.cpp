#include "PopupWindows.h"

#include "driver/Driver.h"

#include <commctrl.h>

namespace {

struct Collect {
    const char* className;
    const char* title;
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectProc(HWND window, LPARAM param)
{
    auto* data = reinterpret_cast<Collect*>(param);
    if (driver::ClassName(window) == data->className && driver::WindowProcess(window) == data->processId
        && (!data->visibleOnly || IsWindowVisible(window))
        && (!data->title || driver::WindowText(window) == data->title))
        data->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> VisibleMenus(DWORD processId)
{
    Collect data{"#32768", nullptr, processId, true, {}};
    EnumWindows(CollectProc, reinterpret_cast<LPARAM>(&data));
    // EnumWindows goes from the top of the Z order down: the newest menu first.
    return std::vector<HWND>(data.found.rbegin(), data.found.rend());
}

HWND WaitForMenus(DWORD processId, size_t count)
{
    HWND newest = nullptr;
    driver::WaitUntil([&] {
        const std::vector<HWND> menus = VisibleMenus(processId);
        newest = menus.empty() ? nullptr : menus.back();
        return menus.size() == count;
    });
    return VisibleMenus(processId).size() == count ? newest : nullptr;
}

void PostKey(HWND window, UINT key)
{
    const UINT scanCode = MapVirtualKeyA(key, MAPVK_VK_TO_VSC);
    PostMessageA(window, WM_KEYDOWN, key, static_cast<LPARAM>(1 | (scanCode << 16)));
    PostMessageA(window, WM_KEYUP, key, static_cast<LPARAM>(1 | (scanCode << 16) | 0xC0000000u));
}

void ParkPointer()
{
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
}

int CountTopWindows(const char* className, const char* title, DWORD processId)
{
    Collect data{className, title, processId, false, {}};
    EnumWindows(CollectProc, reinterpret_cast<LPARAM>(&data));
    return static_cast<int>(data.found.size());
}

std::string ShownDialogs(DWORD processId)
{
    Collect data{"#32770", nullptr, processId, true, {}};
    EnumWindows(CollectProc, reinterpret_cast<LPARAM>(&data));
    std::string shown;
    for (HWND dialog : data.found) {
        shown += "\"" + driver::WindowText(dialog) + "\"";
        const std::string message = driver::MessageBoxText(dialog);
        if (!message.empty())
            shown += " says \"" + message + "\"";
        shown += "; ";
    }
    return shown.empty() ? "no dialog" : shown;
}

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

bool IsTicked(HWND dialog, int control)
{
    return SendDlgItemMessageA(dialog, control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}
