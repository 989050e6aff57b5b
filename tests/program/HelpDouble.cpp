#include "HelpDouble.h"

#include <cstring>

namespace {

// The request as Wine's user32 lays it out (the Windows 95 layout), tagged
// with its own number in COPYDATASTRUCT::dwData.
struct WineHelpRequest {
    WORD size;
    WORD command;
    LONG data;
    LONG reserved;
    WORD fileOffset;
    WORD dataOffset;
};
constexpr ULONG_PTR kWineHelpTag = 0xA1DE505;

constexpr const char* kViewerClass = "MS_WINHELP";
constexpr const char* kTipsClass = "LintelTipsWindow";
constexpr const char* kTipsTitle = "Lintel Tip of the Day";

void Register(const char* className, WNDPROC proc)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);   // a second registration fails harmlessly
}

template <class Owner>
Owner* OwnerOf(HWND window, UINT message, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    return reinterpret_cast<Owner*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

} // namespace

CHelpViewerDouble::CHelpViewerDouble(BOOL answer) : m_answer(answer)
{
    Register(kViewerClass, Proc);
    // Top-level and hidden: FindWindow sees it, the screen does not.
    m_window = CreateWindowExA(WS_EX_TOOLWINDOW, kViewerClass, "Help double", WS_POPUP, 0, 0, 10, 10, nullptr,
                               nullptr, GetModuleHandleA(nullptr), this);
}

CHelpViewerDouble::~CHelpViewerDouble()
{
    if (m_window)
        DestroyWindow(m_window);
}

LRESULT CALLBACK CHelpViewerDouble::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = OwnerOf<CHelpViewerDouble>(window, message, lParam);
    if (message != WM_COPYDATA || !self)
        return DefWindowProcA(window, message, wParam, lParam);
    const auto* copy = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (!copy || copy->dwData != kWineHelpTag || copy->cbData < sizeof(WineHelpRequest) || !copy->lpData)
        return FALSE;
    const auto* request = static_cast<const WineHelpRequest*>(copy->lpData);
    const char* bytes = static_cast<const char*>(copy->lpData);
    std::string file;
    // The offset comes from another process: only a name inside the block counts.
    if (request->fileOffset >= sizeof(WineHelpRequest) && request->fileOffset < copy->cbData)
        file.assign(bytes + request->fileOffset, strnlen(bytes + request->fileOffset, copy->cbData - request->fileOffset));
    self->m_requests.push_back({request->command, static_cast<DWORD>(request->data), file,
                                reinterpret_cast<HWND>(wParam)});
    return self->m_answer;
}

CTipsWindowStandIn::CTipsWindowStandIn()
{
    Register(kTipsClass, Proc);
    m_window = CreateWindowExA(WS_EX_TOOLWINDOW, kTipsClass, kTipsTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), this);
}

CTipsWindowStandIn::~CTipsWindowStandIn()
{
    if (m_window)
        DestroyWindow(m_window);
}

LRESULT CALLBACK CTipsWindowStandIn::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* self = OwnerOf<CTipsWindowStandIn>(window, message, lParam);
    if (self && message >= WM_USER && message < 0xC000)
        self->m_messages.push_back({message, wParam, lParam});
    return DefWindowProcA(window, message, wParam, lParam);
}
