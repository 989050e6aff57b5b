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
