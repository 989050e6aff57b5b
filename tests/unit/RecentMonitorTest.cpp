// The Recent-folder monitor: its thread's notifications, which shortcuts a
// rebuild takes for new, and the program buttons that receive the documents.
#include "ButtonTestSupport.h"
#include "MemoryStream.h"
#include "TestSupport.h"
#include "buttons/RecentMonitor.h"
#include "common/ControlMessages.h"
#include "driver/Driver.h"

#include <shlobj.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

bool WriteShortcut(const std::string& shortcut, const std::string& target)
{
    CComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(link.put()))))
        return false;
    link->SetPath(target.c_str());
    CComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(file.put()))))
        return false;
    const std::wstring wide(shortcut.begin(), shortcut.end());
    return SUCCEEDED(file->Save(wide.c_str(), TRUE));
}

// Moves a file's time stamp, as saving it again a little later would.
bool Touch(const std::string& path, int seconds)
{
    CFileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    FILETIME written{};
    if (!file || !GetFileTime(file.Get(), nullptr, nullptr, &written))
        return false;
    ULARGE_INTEGER time{};
    time.LowPart = written.dwLowDateTime;
    time.HighPart = written.dwHighDateTime;
    time.QuadPart += static_cast<ULONGLONG>(seconds) * 10000000ull;
    written.dwLowDateTime = time.LowPart;
    written.dwHighDateTime = time.HighPart;
    return SetFileTime(file.Get(), nullptr, nullptr, &written) != FALSE;
}

struct RecordingSink : IRecentDocumentSink {
    void OfferRecentDocument(const char* document) override { offered.push_back(document); }
    std::vector<std::string> offered;
};

// The window the monitor posts to: it counts the change messages.
LONG g_changes = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == UM_RECENTCHANGED) {
        ++g_changes;
        return 1;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateCountingWindow()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "LintelTestRecentChanges";
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, windowClass.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           windowClass.hInstance, nullptr);
}

// Waits for the monitor's message, then lets the rest of the burst arrive.
bool ChangeReported()
{
    const bool seen = driver::WaitUntil([] { return g_changes > 0; }, 5000);
    driver::WaitUntil([] { return false; }, 200);
    g_changes = 0;
    return seen;
}

class RecentMonitorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = driver::MakeTempFolder("recent-monitor");
        m_recent = m_folder + "\\Recent";
        CreateDirectoryA(m_recent.c_str(), nullptr);
        m_window = CreateCountingWindow();
        g_changes = 0;
        ASSERT_NE(m_window, nullptr);
        for (const char* name : {"a.txt", "b.txt", "c.txt"})
            driver::WriteTextFile(Document(name), "text");
    }
    void TearDown() override { DestroyWindow(m_window); }

    std::string Document(const std::string& name) const { return m_folder + "\\" + name; }
    std::string Shortcut(const std::string& name) const { return m_recent + "\\" + name + ".lnk"; }

    testing_support::ComScope m_com;
    std::string m_folder;
    std::string m_recent;
    HWND m_window = nullptr;
    RecordingSink m_sink;
};

} // namespace

TEST_F(RecentMonitorTest, NewAndRewrittenShortcutsReachTheSinkPastABrokenOne)
{
    // Already there at the start: one good shortcut and one of 0 bytes.
    ASSERT_TRUE(WriteShortcut(Shortcut("a.txt"), Document("a.txt")));
    std::ofstream(Shortcut("broken")).close();
    testing_support::ScopedTrace trace("recent-monitor-trace.txt");
    {
        CRecentMonitor monitor(&m_sink, m_window, m_recent.c_str());
        ASSERT_TRUE(monitor.IsWatching());

        ASSERT_TRUE(WriteShortcut(Shortcut("b.txt"), Document("b.txt")));
        ASSERT_TRUE(Touch(Shortcut("b.txt"), 1));
        EXPECT_TRUE(ChangeReported()) << "a new shortcut";
        EXPECT_EQ(monitor.Rebuild(), 1);
        EXPECT_EQ(m_sink.offered, std::vector<std::string>{Document("b.txt")});

        // Saved over in place: only its time changes.
        m_sink.offered.clear();
        ASSERT_TRUE(WriteShortcut(Shortcut("a.txt"), Document("a.txt")));
        ASSERT_TRUE(Touch(Shortcut("a.txt"), 5));
        EXPECT_TRUE(ChangeReported()) << "a shortcut saved over";
        EXPECT_EQ(monitor.Rebuild(), 1);
        EXPECT_EQ(m_sink.offered, std::vector<std::string>{Document("a.txt")});

        // Two at once arrive oldest first; nothing is offered twice.
        m_sink.offered.clear();
        ASSERT_TRUE(WriteShortcut(Shortcut("c.txt"), Document("c.txt")));
        ASSERT_TRUE(Touch(Shortcut("c.txt"), 20));
        ASSERT_TRUE(Touch(Shortcut("b.txt"), 10));
        EXPECT_TRUE(ChangeReported());
        EXPECT_EQ(monitor.Rebuild(), 2);
        EXPECT_EQ(m_sink.offered, (std::vector<std::string>{Document("b.txt"), Document("c.txt")}));
        m_sink.offered.clear();
        EXPECT_EQ(monitor.Rebuild(), 0);
        EXPECT_TRUE(m_sink.offered.empty());
    }
    const std::vector<std::string> lines = driver::ReadTraceLines(trace.Path());
    EXPECT_TRUE(driver::HasLine(lines, "CRecentMonitor: Thread stopped"));
    EXPECT_FALSE(driver::HasLine(lines, "CRecentMonitor: Monitor thread still going - stopping"))
        << "the thread ends by itself when asked";
}

TEST_F(RecentMonitorTest, ShortcutsMatchOnlyWhenTheSameAndReadable)
{
    ASSERT_TRUE(WriteShortcut(Shortcut("a.txt"), Document("a.txt")));
    ASSERT_TRUE(WriteShortcut(Shortcut("b.txt"), Document("b.txt")));
    std::ofstream(Shortcut("broken")).close();
    auto entry = [](const std::string& path) {
        RecentShortcut shortcut;
        shortcut.path = path.c_str();
        WIN32_FILE_ATTRIBUTE_DATA data{};
        GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data);
        shortcut.lastWrite = data.ftLastWriteTime;
        return shortcut;
    };
    struct Case {
        const char* name;
        std::string first;
        std::string second;
        int secondsLater;
        BOOL same;
    };
    const Case cases[] = {
        {"unchanged", Shortcut("a.txt"), Shortcut("a.txt"), 0, TRUE},
        {"saved again", Shortcut("a.txt"), Shortcut("a.txt"), 2, FALSE},
        {"another shortcut", Shortcut("a.txt"), Shortcut("b.txt"), 0, FALSE},
        {"unreadable", Shortcut("broken"), Shortcut("broken"), 0, FALSE},
        {"missing", m_recent + "\\missing.lnk", m_recent + "\\missing.lnk", 0, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecentShortcut first = entry(c.first);
        RecentShortcut second = entry(c.second);
        if (c.secondsLater) {
            ULARGE_INTEGER time{};
            time.LowPart = second.lastWrite.dwLowDateTime;
            time.HighPart = second.lastWrite.dwHighDateTime;
            time.QuadPart += static_cast<ULONGLONG>(c.secondsLater) * 10000000ull;
            second.lastWrite.dwLowDateTime = time.LowPart;
            second.lastWrite.dwHighDateTime = time.HighPart;
        }
        EXPECT_EQ(SameShortcut(first, second), c.same);
    }
}

TEST_F(ButtonTest, RecentDocumentGoesToTheButtonsOfItsProgramOnly)
{
    const std::string program = button_test::CopyEchoProgram(m_folder, "editor.exe");
    const std::string other = button_test::CopyEchoProgram(m_folder, "other.exe");
    ASSERT_FALSE(program.empty());
    ASSERT_FALSE(other.empty());
    ASSERT_TRUE(m_classes.Set(".lintrecent", "LintelTest.Recent"));
    ASSERT_TRUE(m_classes.Set("LintelTest.Recent\\shell\\open\\command", "\"" + program + "\" \"%1\""));
    const std::string document = m_folder + "\\notes.lintrecent";
    driver::WriteTextFile(document, "text");

    CExecButton* matching = AddProgramButton(program);
    CExecButton* unrelated = AddProgramButton(other);
    ASSERT_NE(matching, nullptr);
    ASSERT_NE(unrelated, nullptr);
    matching->SetModified(FALSE);
    unrelated->SetModified(FALSE);

    m_set->OfferRecentDocument(document.c_str());
    m_set->OfferRecentDocument((m_folder + "\\unregistered.nosuchtype").c_str());
    ASSERT_EQ(matching->RecentDocuments().Count(), 1);
    CText entry;
    matching->RecentDocuments().GetEntry(0, entry);
    EXPECT_STREQ(entry.c_str(), document.c_str());
    EXPECT_TRUE(matching->IsModified());
    EXPECT_EQ(unrelated->RecentDocuments().Count(), 0);
    EXPECT_FALSE(unrelated->IsModified());
}
