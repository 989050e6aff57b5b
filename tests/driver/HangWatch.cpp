// Linked into every test program: a watcher that turns the two silent ways a
// test can hang into something the run's output shows.
//  - A message box of this process that nobody answers: a test that did not
//    expect it would wait in it until CTest's time-out killed the program,
//    and the output would say nothing of why.  After a while the watcher
//    prints the box and presses its way out, so the test goes on and fails.
//  - A test that runs far longer than any test should: shortly before
//    CTest's time-out the watcher prints every window on the desktop (whose,
//    its class, its caption and, for dialogs, their message), which is what
//    a hang under Wine is usually found from.
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <process.h>

#include <cstdio>
#include <iterator>
#include <map>
#include <string>

namespace {

// Longer than any wait of a test for a box it expects; CTest ends a test
// program after 120 s.
constexpr DWORD kStrayBoxMs = 30000;
constexpr DWORD kLongTestMs = 100000;
constexpr DWORD kPollMs = 500;

// Read without a message, so a window whose thread is stuck still tells.
std::string TextOf(HWND window)
{
    wchar_t text[512]{};
    InternalGetWindowText(window, text, static_cast<int>(std::size(text)));
    char narrow[1024]{};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

// A message box has its text in a static control with the id 0xFFFF.
bool IsMessageBox(HWND window)
{
    return driver::ClassName(window) == "#32770" && GetDlgItem(window, 0xFFFF) != nullptr;
}

struct Boxes {
    std::map<HWND, DWORD> firstSeen;   // this process's boxes and when each came
    DWORD now = 0;
};

BOOL CALLBACK NoteBox(HWND window, LPARAM param)
{
    auto* boxes = reinterpret_cast<Boxes*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process == GetCurrentProcessId() && IsWindowVisible(window) && IsMessageBox(window))
        boxes->firstSeen.emplace(window, boxes->now);
    return TRUE;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const std::string name = driver::ClassName(window);
    std::fprintf(stderr, "  pid %lu %s %s \"%s\"", static_cast<unsigned long>(process),
                 IsWindowVisible(window) ? "shown " : "hidden", name.c_str(), TextOf(window).c_str());
    if (name == "#32770")
        std::fprintf(stderr, " says \"%s\"", driver::MessageBoxText(window).c_str());
    std::fprintf(stderr, "\n");
    return TRUE;
}

// The way out of a box of any style: Cancel where there is one, else No,
// else OK.
void PressWayOut(HWND box)
{
    for (int id : {IDCANCEL, IDNO, IDOK, IDABORT}) {
        if (driver::PressButton(box, id))
            return;
    }
}

class HangWatch : public ::testing::EmptyTestEventListener
{
public:
    HangWatch()
    {
        m_stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        m_thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, Watch, this, 0, nullptr));
    }
    ~HangWatch() override
    {
        SetEvent(m_stop);
        if (m_thread) {
            WaitForSingleObject(m_thread, 5000);
            CloseHandle(m_thread);
        }
        CloseHandle(m_stop);
    }

    void OnTestStart(const ::testing::TestInfo& test) override
    {
        EnterCriticalSection(&m_lock);
        m_testName = std::string(test.test_suite_name()) + "." + test.name();
        m_testStart = GetTickCount();
        m_reported = false;
        LeaveCriticalSection(&m_lock);
    }

private:
    static unsigned __stdcall Watch(void* param)
    {
        static_cast<HangWatch*>(param)->Run();
        return 0;
    }

    void Run()
    {
        Boxes boxes;
        while (WaitForSingleObject(m_stop, kPollMs) == WAIT_TIMEOUT) {
            boxes.now = GetTickCount();
            for (auto seen = boxes.firstSeen.begin(); seen != boxes.firstSeen.end();)
                seen = IsWindow(seen->first) ? std::next(seen) : boxes.firstSeen.erase(seen);
            EnumWindows(NoteBox, reinterpret_cast<LPARAM>(&boxes));
            for (const auto& [box, since] : boxes.firstSeen) {
                if (since == 0 || boxes.now - since < kStrayBoxMs)
                    continue;
                std::fprintf(stderr, "A message box nobody answered for %lu s: \"%s\" says \"%s\"; pressed its way out.\n",
                             static_cast<unsigned long>(kStrayBoxMs / 1000), TextOf(box).c_str(),
                             driver::MessageBoxText(box).c_str());
                std::fflush(stderr);
                PressWayOut(box);
                boxes.firstSeen[box] = 0;   // pressed once; never again
            }
            ReportLongTest(boxes.now);
        }
    }

    void ReportLongTest(DWORD now)
    {
        EnterCriticalSection(&m_lock);
        const bool due = !m_testName.empty() && !m_reported && now - m_testStart >= kLongTestMs;
        const std::string name = m_testName;
        if (due)
            m_reported = true;
        LeaveCriticalSection(&m_lock);
        if (!due)
            return;
        std::fprintf(stderr, "%s has run for %lu s; the windows on the desktop:\n", name.c_str(),
                     static_cast<unsigned long>(kLongTestMs / 1000));
        EnumWindows(PrintWindow, 0);
        std::fflush(stderr);
    }

    struct Lock {
        Lock() { InitializeCriticalSection(&section); }
        ~Lock() { DeleteCriticalSection(&section); }
        CRITICAL_SECTION section;
    };
    Lock m_lockHolder;
    CRITICAL_SECTION& m_lock = m_lockHolder.section;
    HANDLE m_stop = nullptr;
    HANDLE m_thread = nullptr;
    std::string m_testName;
    DWORD m_testStart = 0;
    bool m_reported = false;
};

// Registered before main() runs; the listener list owns and deletes it.
const bool kRegistered = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new HangWatch);
    return true;
}();

} // namespace
