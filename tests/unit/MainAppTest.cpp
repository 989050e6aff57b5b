#include "app/MainApp.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <process.h>

namespace {

struct BoxCall {
    CMainApp* app;
    UINT textId;
    LPCSTR caption;
    UINT style;
    UINT source;
    int result;
};

unsigned __stdcall ShowBox(void* param)
{
    auto* call = static_cast<BoxCall*>(param);
    call->result = call->app->DisplayMessage(nullptr, call->textId, call->caption, call->style, call->source);
    return 0;
}

} // namespace

TEST(DisplayMessage, CaptionComesFromTheChosenSource)
{
    CMainApp app(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    struct Case {
        UINT textId;
        LPCSTR caption;
        UINT source;
        UINT style;
        const char* wantCaption;   // null: no box is shown
        const char* wantText;
        int press;
        int wantResult;
    };
    const Case cases[] = {
        {44, nullptr, kCaptionProgramName, MB_OK, "Lintel",
         "The toolbar file specified on the command line could not be opened, or was already open..", IDOK, IDOK},
        {54, MAKEINTRESOURCEA(2004), kCaptionFromId, MB_YESNO | MB_ICONQUESTION, " (Minimized)", nullptr, IDNO, IDNO},
        {5, "My Toolbar", kCaptionText, MB_OK, "My Toolbar", "Failed to create tray bar icon.", IDOK, IDOK},
        {1, "My Toolbar", kCaptionText | kCaptionProgramName, MB_OK, "Lintel", nullptr, IDOK, IDOK},
        {65000, nullptr, kCaptionProgramName, MB_YESNO, nullptr, nullptr, 0, IDOK},        // no such text
        {44, MAKEINTRESOURCEA(65001), kCaptionFromId, MB_YESNO, nullptr, nullptr, 0, IDOK},  // no such caption
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& entry = cases[i];
        BoxCall call{&app, entry.textId, entry.caption, entry.style, entry.source, -1};
        auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, ShowBox, &call, 0, nullptr));
        ASSERT_NE(thread, nullptr);
        if (entry.wantCaption) {
            HWND box = driver::WaitForMessageBox(entry.wantCaption, 5000, GetCurrentProcessId());
            ASSERT_NE(box, nullptr);
            if (entry.wantText) {
                EXPECT_EQ(driver::MessageBoxText(box), entry.wantText);
            }
            driver::PressButton(box, entry.press);
        }
        EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
        CloseHandle(thread);
        EXPECT_EQ(call.result, entry.wantResult);
    }
}
