// The recently opened toolbar files of the real program: remembered across a
// restart, newest first, and opened again by the program menu's commands.
#include "LintelFixture.h"
#include "driver/ToolbarFiles.h"

namespace {

const char* const kToolbarClass = "CToolbarWindow";
const char* const kReadFailed =
    "Failed to read file. Check that the file and path exist, and that the file is not corrupted.";
constexpr UINT kFirstRecentCommand = 100;

std::string Answer(DWORD processId)
{
    HWND box = driver::WaitForMessageBox("Lintel", driver::kDefaultTimeout, processId);
    if (!box)
        return "<no box>";
    std::string text = driver::MessageBoxText(box);
    driver::PressButton(box, IDOK);
    driver::WaitForWindowGone(box, 5000);
    return text;
}

} // namespace

TEST_F(LintelProgramTest, RecentToolbarFilesSurviveARestartAndOpenFromTheMenu)
{
    const char* const names[] = {"Recent One", "Recent Two", "Recent Three"};
    std::vector<std::string> paths;
    for (const char* name : names) {
        RecordValues values;
        values.name = name;
        paths.push_back(m_folder + "\\" + name + ".ltl");
        ASSERT_TRUE(WriteCompoundFile(paths.back(), FileWith(values, 0x23000, 1)));
    }

    driver::Process& first = Start();
    HWND main = WaitForMainWindow(first);
    ASSERT_NE(main, nullptr);
    for (size_t i = 0; i < paths.size(); ++i) {
        driver::Process& handOver = Start("\"" + paths[i] + "\"");
        ASSERT_TRUE(handOver.WaitForExit());
        HWND toolbar = driver::WaitForWindow(kToolbarClass, names[i], driver::kDefaultTimeout, first.Id());
        ASSERT_NE(toolbar, nullptr) << names[i];
        // Closed again, so that the next start opens none of them by itself.
        PostMessageA(toolbar, WM_CLOSE, 0, 0);
        ASSERT_TRUE(driver::WaitForWindowGone(toolbar));
    }
    ASSERT_TRUE(Close(first));

    const std::string recentKey = std::string(kUserKey) + "\\Recent";
    DWORD number = 0;
    ASSERT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, recentKey.c_str(), "NumRecent", number));
    EXPECT_EQ(number, 3u);
    for (int i = 0; i < 3; ++i) {
        char name[16];
        snprintf(name, sizeof name, "Recent%02d", i + 1);
        std::string value;
        ASSERT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, recentKey.c_str(), name, value));
        EXPECT_EQ(value, paths[2 - i]) << name;
    }

    driver::Process& second = Start();
    main = WaitForMainWindow(second);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(driver::FindTopWindow(kToolbarClass, nullptr, second.Id()), nullptr);
    PostMessageA(main, WM_COMMAND, kFirstRecentCommand, 0);
    EXPECT_NE(driver::WaitForWindow(kToolbarClass, names[2], driver::kDefaultTimeout, second.Id()), nullptr)
        << "the first entry is the newest";

    // A file deleted while the program runs is reported when chosen.
    ASSERT_TRUE(DeleteFileA(paths[1].c_str()));
    PostMessageA(main, WM_COMMAND, kFirstRecentCommand + 1, 0);
    EXPECT_EQ(Answer(second.Id()), kReadFailed);
    EXPECT_EQ(driver::FindTopWindow(kToolbarClass, names[1], second.Id()), nullptr);
    EXPECT_TRUE(Close(second));
}
