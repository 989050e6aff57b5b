#include "LintelFixture.h"

void LintelProgramTest::SetUp()
{
    // A copy left by an earlier failed test would take the single-instance check.
    driver::KillProgramsWithWindow("LintelMainWindow");

    // Not a first start, no tip program, no trace unless a test asks for it.
    driver::DeleteRegistryTree(HKEY_CURRENT_USER, kUserKey);
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 0));
    ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "ShowTips", 0));
    driver::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kMachineKey, "Logging");
    driver::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kMachineKey, "LogFile");

    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_folder = driver::MakeTempFolder(std::string(info->test_suite_name()) + "." + info->name());
}

void LintelProgramTest::TearDown()
{
    for (auto& process : m_processes) {
        if (process->IsRunning()) {
            HWND main = driver::FindTopWindow("LintelMainWindow", nullptr, process->Id());
            if (main)
                PostMessageA(main, WM_CLOSE, 0, 0);
            if (!process->WaitForExit(3000))
                process->Kill();
        }
    }
    m_processes.clear();
    // A first start opens the tip program too; left running it would keep
    // the test's output pipe open and hold the test runner.
    driver::KillProgramsWithWindow("LintelTipsWindow");
    driver::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kMachineKey, "Logging");
    driver::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kMachineKey, "LogFile");
}

driver::Process& LintelProgramTest::Start(const std::string& arguments)
{
    auto process = std::make_unique<driver::Process>();
    EXPECT_TRUE(process->Start(driver::ProgramFolder() + "\\Lintel.exe", arguments, m_folder));
    m_processes.push_back(std::move(process));
    return *m_processes.back();
}

HWND LintelProgramTest::WaitForMainWindow(const driver::Process& process)
{
    return driver::WaitForWindow("LintelMainWindow", "Lintel", driver::kDefaultTimeout, process.Id());
}

bool LintelProgramTest::Close(driver::Process& process)
{
    HWND main = driver::FindTopWindow("LintelMainWindow", nullptr, process.Id());
    if (!main)
        return false;
    PostMessageA(main, WM_CLOSE, 0, 0);
    return process.WaitForExit();
}
