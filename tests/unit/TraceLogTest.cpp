#include "TestSupport.h"
#include "common/TraceLog.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <fstream>

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

TEST(TraceLog, UnwritablePathLosesLinesQuietly)
{
    testing_support::ScopedTrace trace("lintel-trace-unused.txt");
    SetTraceFilePath("Q:\\no such drive\\folder\\trace.txt");
    LogText("lost");
    LogMethod(5000, 5002, TRUE);
    SUCCEED();
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
