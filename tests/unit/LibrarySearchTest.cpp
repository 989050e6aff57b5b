// The start-up restriction of the library search: a library left in the
// folder a program starts in is never loaded by its bare name.  (Under Wine
// an empty library folder alone leaves the current folder in the search.)
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>

TEST(LibrarySearchTest, RestrictedSearchSkipsTheCurrentFolder)
{
    const std::string folder = driver::MakeTempFolder("LibrarySearchTest");
    const std::string planted = folder + "\\Mlv95Api.dll";
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\standin\\Mlv95Api.dll").c_str(), planted.c_str(), FALSE));

    struct Case {
        const char* argument;
        DWORD wantExit;   // 1: the planted library was loaded
    };
    // Unrestricted, the planted file loads: the case shows the fault is there to catch.
    const Case cases[] = {{"", 1}, {"restricted", 0}};
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        driver::Process probe;
        ASSERT_TRUE(probe.Start(driver::ProgramFolder() + "\\library_search_probe.exe", cases[i].argument, folder));
        ASSERT_TRUE(probe.WaitForExit());
        EXPECT_EQ(probe.ExitCode(), cases[i].wantExit);
    }
    EXPECT_TRUE(driver::WaitUntil([&] { return DeleteFileA(planted.c_str()) != FALSE; }, 5000));
}
