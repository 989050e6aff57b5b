// What a screen reader learns of a toolbar and its buttons, and that it
// hears of every focus move the keyboard makes.
#include "ToolbarFixture.h"
#include "driver/Driver.h"

#include <oleacc.h>

#include <string>
#include <vector>

namespace {

std::vector<HWND> g_focusEvents;

void CALLBACK OnFocusEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (event == EVENT_OBJECT_FOCUS && object == OBJID_CLIENT && child == CHILDID_SELF)
        g_focusEvents.push_back(window);
}

struct Accessible {
    std::wstring name;
    long role = 0;
    bool found = false;
};

Accessible ReadAccessible(HWND window)
{
    Accessible read;
    // Loaded as a screen reader would, so that the tests link without oleacc's
    // import library (whose IID clashes with libuuid's).
    using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static const auto fromWindow = reinterpret_cast<FromWindow>(
        reinterpret_cast<void*>(GetProcAddress(LoadLibraryA("oleacc.dll"), "AccessibleObjectFromWindow")));
    IAccessible* object = nullptr;
    if (!fromWindow
        || FAILED(fromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&object)))
        || !object)
        return read;
    read.found = true;
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    if (SUCCEEDED(object->get_accName(self, &name)) && name)
        read.name = name;
    SysFreeString(name);
    VARIANT role{};
    if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4)
        read.role = role.lVal;
    object->Release();
    return read;
}

} // namespace

TEST_F(ToolbarTest, ScreenReadersReadNamesAndRolesAndFollowTheKeyboard)
{
    CToolbar* toolbar = MakeToolbar("Reader toolbar");
    TestButton* first = AddTestButton(toolbar);
    first->SetDescription("First program");
    CToolButton* space = AddSpace(toolbar);
    TestButton* second = AddTestButton(toolbar);
    second->SetDescription("Zweites Programm \xe4\xf6\xfc");
    toolbar->Relayout(TRUE);

    const struct {
        HWND window;
        const wchar_t* name;
        long role;
    } cases[] = {
        {toolbar->Handle(), L"Reader toolbar", ROLE_SYSTEM_TOOLBAR},
        {first->Handle(), L"First program", ROLE_SYSTEM_PUSHBUTTON},
        {space->Handle(), L"", ROLE_SYSTEM_SEPARATOR},
        {second->Handle(), L"Zweites Programm \u00e4\u00f6\u00fc", ROLE_SYSTEM_PUSHBUTTON},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        if (!cases[i].window)
            continue;   // a space may have no window of its own
        const Accessible read = ReadAccessible(cases[i].window);
        ASSERT_TRUE(read.found);
        EXPECT_EQ(read.name, cases[i].name);
        EXPECT_EQ(read.role, cases[i].role);
    }

    // The toolbar keeps the focus and draws it on its buttons; each arrow
    // key tells the reader where it went, stepping over the space.
    g_focusEvents.clear();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnFocusEvent,
                                         GetCurrentProcessId(), 0, WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    SetForegroundWindow(toolbar->Handle());
    SetFocus(toolbar->Handle());
    ASSERT_EQ(GetFocus(), toolbar->Handle());
    toolbar->SetFocusIndex(kFocusProgramMenuButton);
    driver::PumpMessages();
    g_focusEvents.clear();
    for (int press = 0; press < 2; ++press)
        SendMessageA(toolbar->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    driver::WaitUntil([] {
        driver::PumpMessages();
        return g_focusEvents.size() >= 2;
    }, 3000);
    UnhookWinEvent(hook);
    ASSERT_EQ(g_focusEvents.size(), 2u);
    EXPECT_EQ(g_focusEvents[0], first->Handle());
    EXPECT_EQ(g_focusEvents[1], second->Handle());

    // What a right click does, the menu key does to the focused button.
    SendMessageA(toolbar->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(toolbar->Handle()), MAKELPARAM(-1, -1));
    EXPECT_EQ(second->rightClicks, 1);
    SendMessageA(toolbar->Handle(), WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(second->activations, 1);
}
