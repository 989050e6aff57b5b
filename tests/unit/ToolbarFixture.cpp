#include "ToolbarFixture.h"

#include "driver/Driver.h"

#include <process.h>

void ToolbarTest::SetUp()
{
    m_app = std::make_unique<CMainApp>(GetModuleHandleA(nullptr), "", SW_SHOWNORMAL);
    ASSERT_TRUE(m_app->RegisterWindowClasses());
    OleInitialize(nullptr);
    m_set = std::make_unique<CToolbarSet>(m_app.get(), nullptr);
}

void ToolbarTest::TearDown()
{
    m_set.reset();
    OleUninitialize();
    m_app.reset();
}

CToolbar* ToolbarTest::MakeToolbar(const char* name)
{
    auto* toolbar = new CToolbar(m_app.get(), m_set.get(), nullptr);
    toolbar->SetTitle(name);
    EXPECT_TRUE(m_set->Add(toolbar));
    EXPECT_TRUE(toolbar->Create("", nullptr));
    toolbar->SetTitle(name);
    return toolbar;
}

TestButton* ToolbarTest::AddTestButton(CToolbar* toolbar, ButtonKind kind, BOOL holdShowsMenu)
{
    auto* button = new TestButton(toolbar, kind, holdShowsMenu);
    CreationData data;
    toolbar->StoreCreationData(data);
    EXPECT_TRUE(button->Create(data, 3));
    return InsertButton(toolbar, button);
}

namespace {

struct Answer {
    const char* caption;
    int button;
    std::string text = "<no box>";
};

// Runs on its own thread: the box it answers may be modal on the test's thread.
unsigned __stdcall AnswerBox(void* param)
{
    auto* answer = static_cast<Answer*>(param);
    HWND box = driver::WaitForMessageBox(answer->caption, 5000, GetCurrentProcessId());
    if (box) {
        answer->text = driver::MessageBoxText(box);
        driver::PressButton(box, answer->button);
    }
    return 0;
}

} // namespace

std::string AnswerBoxDuring(const std::function<void()>& work, const char* caption, int button)
{
    Answer answer{caption, button};
    auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, AnswerBox, &answer, 0, nullptr));
    work();
    // The answer may still be on its way when the work did not wait for it.
    driver::WaitUntil([thread] { return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0; }, 10000);
    CloseHandle(thread);
    return answer.text;
}
