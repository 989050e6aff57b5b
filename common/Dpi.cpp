#include "Dpi.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

constexpr int kEffectiveDpi = 0;   // MDT_EFFECTIVE_DPI

template <class Fn>
Fn Lookup(const char* module, const char* name, bool load)
{
    HMODULE handle = GetModuleHandleA(module);
    if (!handle && load)
        handle = LoadLibraryA(module);   // kept loaded for the life of the process
    return handle ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(handle, name))) : nullptr;
}

struct Functions {
    GetDpiForWindowFn forWindow = nullptr;
    GetDpiForMonitorFn forMonitor = nullptr;
    GetSystemMetricsForDpiFn metricsForDpi = nullptr;
    Functions()
    {
        forWindow = Lookup<GetDpiForWindowFn>("user32.dll", "GetDpiForWindow", false);
        metricsForDpi = Lookup<GetSystemMetricsForDpiFn>("user32.dll", "GetSystemMetricsForDpi", false);
        forMonitor = Lookup<GetDpiForMonitorFn>("shcore.dll", "GetDpiForMonitor", true);
    }
};

const Functions& Api()
{
    static const Functions functions;
    return functions;
}

int Sane(int dpi)
{
    return dpi >= 48 && dpi <= 960 ? dpi : Dpi::kDefault;
}

} // namespace

namespace Dpi {

int System()
{
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kDefault;
    if (screen)
        ReleaseDC(nullptr, screen);
    return Sane(dpi);
}

int ForWindow(HWND window)
{
    if (!window || !IsWindow(window))
        return System();
    if (Api().forWindow) {
        const UINT dpi = Api().forWindow(window);
        if (dpi)
            return Sane(static_cast<int>(dpi));
    }
    return ForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
}

int ForMonitor(HMONITOR monitor)
{
    if (monitor && Api().forMonitor) {
        UINT x = 0;
        UINT y = 0;
        if (SUCCEEDED(Api().forMonitor(monitor, kEffectiveDpi, &x, &y)) && x)
            return Sane(static_cast<int>(x));
    }
    return System();
}

int ForRect(const RECT& rect)
{
    return ForMonitor(MonitorFromRect(&rect, MONITOR_DEFAULTTONEAREST));
}

int SystemMetric(int index, int dpi)
{
    if (Api().metricsForDpi)
        return Api().metricsForDpi(index, static_cast<UINT>(dpi));
    // Without the per-DPI call the answer is at the system's DPI.
    return MulDiv(GetSystemMetrics(index), dpi, System());
}

} // namespace Dpi
