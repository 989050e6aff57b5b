#include "TestSupport.h"
#include "common/TraceLog.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

TEST(TraceLog, WritesMethodAndFreeTextLines)
{
    testing_support::ScopedTrace trace("lintel-trace-lines.txt");
    LogMethod(5000, 5002, TRUE);
    LogMethodResult(5000, 5009, 1, FALSE);
    LogStringIdNumber(5055, 3);
    LogStringIdText(5059, nullptr);
    LogStringIdText(5057, "My Toolbar");
    LogHResult(static_cast<HRESULT>(0x80004005));
    LogFormat("OnTimer(%lu)", 14);
    LogStringId(5047);

    const auto lines = driver::ReadTraceLines(trace.Path());
    const char* const expected[] = {
        "> CMainApp::Initialise", "< CMainApp::Create=1", "UM_ADDBUTTON(3)", "File=<null>",
        "Toolbar=My Toolbar", "HR=80004005", "OnTimer(14)", "Quillet running",
    };
    ASSERT_EQ(lines.size(), std::size(expected));
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << i;
}

TEST(TraceLog, LinesCarryTheTimeOfDay)
{
    testing_support::ScopedTrace trace("lintel-trace-time.txt");
    LogText("stamped");
    std::ifstream file(trace.Path());
    std::string line;
    ASSERT_TRUE(std::getline(file, line));
    ASSERT_EQ(line.size(), 10u + 7u);
    for (int i : {0, 1, 3, 4, 6, 7})
        EXPECT_TRUE(isdigit(static_cast<unsigned char>(line[i]))) << line;
    EXPECT_EQ(line.substr(8), ": stamped");
}

TEST(TraceLog, LinesEndAsInAnyWindowsTextFile)
{
    // The bytes older versions wrote: CR LF after each line, and in place of
    // a line break inside a text.
    testing_support::ScopedTrace trace("lintel-trace-bytes.txt");
    LogText("one");
    LogText("two\nlines");
    LogText(nullptr);
    std::ifstream file(trace.Path(), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    const std::regex expected("\\d\\d:\\d\\d:\\d\\d: one\r\n"
                              "\\d\\d:\\d\\d:\\d\\d: two\r\nlines\r\n"
                              "\\d\\d:\\d\\d:\\d\\d: <null>\r\n");
    EXPECT_TRUE(std::regex_match(bytes, expected)) << bytes;
}

TEST(TraceLog, WritersAppendingAtOnceLoseNoLine)
{
    // Each line is opened, written and closed on its own, so two processes
    // (or two threads) share the file only through the system's appends.
    testing_support::ScopedTrace trace("lintel-trace-race.txt");
    constexpr int kWriters = 4;
    constexpr int kLinesEach = 400;
    std::vector<std::thread> writers;
    for (int writer = 0; writer < kWriters; ++writer) {
        writers.emplace_back([writer] {
            for (int line = 0; line < kLinesEach; ++line) {
                char text[64];
                std::snprintf(text, sizeof text, "writer %d line %d of a trace written at once", writer, line);
                LogText(text);
            }
        });
    }
    for (std::thread& writer : writers)
        writer.join();

    const auto lines = driver::ReadTraceLines(trace.Path());
    std::set<std::string> distinct(lines.begin(), lines.end());
    EXPECT_EQ(lines.size(), size_t{kWriters * kLinesEach});
    for (int writer = 0; writer < kWriters; ++writer) {
        for (int line = 0; line < kLinesEach; ++line) {
            char text[64];
            std::snprintf(text, sizeof text, "writer %d line %d of a trace written at once", writer, line);
            ASSERT_EQ(distinct.count(text), 1u) << text;
        }
    }
}

TEST(TraceLog, MethodScopeLogsEntryAndChosenExit)
{
    testing_support::ScopedTrace trace("lintel-trace-scope.txt");
    {
        CTraceMethod method(5000, 5002);
    }
    {
        CTraceMethod method(5050, 5002);
        method.Result(5054, 2);
    }
    const auto lines = driver::ReadTraceLines(trace.Path());
    const char* const expected[] = {
        "> CMainApp::Initialise", "< CMainApp::Initialise", "> CMainWindow::Initialise",
        "< CMainWindow::Initialise=2",
    };
    ASSERT_EQ(lines.size(), std::size(expected));
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << i;
}

TEST(TraceLog, OffWritesNothing)
{
    testing_support::ScopedTrace trace("lintel-trace-off.txt");
    SetTraceOn(false);
    {
        CTraceMethod method(5000, 5002);
        method.Result(5009, 1);
    }
    EXPECT_FALSE(driver::FileExists(trace.Path()));
}

namespace {

// Every name in a folder, subfolders included.
std::vector<std::string> FolderContents(const std::string& folder)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..")
            names.push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

} // namespace

TEST(TraceLog, UnwritablePathLosesLinesQuietly)
{
    const std::string folder = driver::MakeTempFolder("TraceLog.Unwritable");
    testing_support::ScopedTrace trace("lintel-trace-unused.txt");
    // A folder that is not there, the name of a folder, a name no file may have.
    const std::string unwritable[] = {folder + "\\missing\\trace.txt", folder, folder + "\\bad|name.txt",
                                      "Q:\\no such drive\\folder\\trace.txt"};
    for (size_t i = 0; i < std::size(unwritable); ++i) {
        SCOPED_TRACE(unwritable[i]);
        SetTraceFilePath(unwritable[i].c_str());
        LogText("lost");
        LogMethod(5000, 5002, TRUE);
        LogStringIdNumber(5055, 3);
        const DWORD attributes = GetFileAttributesA(unwritable[i].c_str());
        EXPECT_TRUE(attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) << i;
        EXPECT_TRUE(FolderContents(folder).empty()) << i;
        EXPECT_FALSE(driver::FileExists(trace.Path())) << i;
    }

    // The writer goes on: the next lines reach a writable file, and none of
    // the lost ones turns up there late.
    const std::string writable = folder + "\\trace.txt";
    SetTraceFilePath(writable.c_str());
    LogText("kept");
    LogMethod(5000, 5002, FALSE);
    const auto lines = driver::ReadTraceLines(writable);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "kept");
    EXPECT_EQ(lines[1], "< CMainApp::Initialise");
    EXPECT_EQ(FolderContents(folder), std::vector<std::string>{"trace.txt"});
    DeleteFileA(writable.c_str());
}

TEST(TraceLog, TextFieldInNumberFormatIsWrittenAsItStands)
{
    testing_support::ScopedTrace trace("lintel-trace-format.txt");
    // 5104 is "AddButton(%s)": used as a number format it must not read the
    // number as an address.
    LogMethodResult(5093, 5104, 0x10, FALSE);
    const auto lines = driver::ReadTraceLines(trace.Path());
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "< CToolbar::AddButton(%s)");
}
