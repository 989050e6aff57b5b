#include "SelfMadeControl.h"

LRESULT SelfMadeControlProc(HWND window, UINT message, WPARAM first, LPARAM second, CControlFactory make)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(second);
        CWindowBase* self = create ? make() : nullptr;
        if (!self)
            return FALSE;
        CREATESTRUCTA tied = *create;
        tied.lpCreateParams = self;
        const LRESULT created = CWindowBase::StaticWindowProc(window, message, first, reinterpret_cast<LPARAM>(&tied));
        if (!created) {
            SetWindowLongPtrA(window, 0, 0);
            delete self;
        }
        return created;
    }
    // Taken before the message: the base procedure unties the object from
    // its window as WM_NCDESTROY ends.
    CWindowBase* leaving = message == WM_NCDESTROY ? CWindowBase::FromHandle(window) : nullptr;
    const LRESULT result = CWindowBase::StaticWindowProc(window, message, first, second);
    delete leaving;
    return result;
}

BOOL RegisterSelfMadeControl(HINSTANCE instance, const char* className, WNDPROC procedure)
{
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.cbWndExtra = CWindowBase::kExtraBytes;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = className;
    return RegisterClassExA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

CWindowBase* FindSelfMadeControl(HWND window, const char* className)
{
    if (!window)
        return nullptr;
    char found[32]{};
    if (!GetClassNameA(window, found, sizeof found) || lstrcmpA(found, className) != 0)
        return nullptr;
    return CWindowBase::FromHandle(window);
}
