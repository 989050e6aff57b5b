// The program menu starts the companion programs: each is found through its
// value under HKEY_LOCAL_MACHINE, else beside Lintel.exe, and a companion
// that cannot be started is reported with message 65.
#include "LintelFixture.h"

#include <fstream>
#include <iterator>

namespace {

constexpr const char* kLaunchFailed =
    "Failed to launch a Lintel external application. You may need to re-install Lintel.";
constexpr const char* kNewToolbarFailed = "Failed to create the new toolbar.";

struct Companion {
    UINT command;            // program menu command that starts it
    const char* valueName;   // its path under HKEY_LOCAL_MACHINE
    const char* fileName;    // its name beside Lintel.exe
    const char* arguments;
};

// "Tip of the Day" and "Getting Started..." start the same program; the
// wizard is started from the "Create New Toolbar" dialog (command 5).
constexpr UINT kNewToolbarCommand = 5;
const Companion kCompanions[] = {
    {8, "ExplorerPath", "Lintel Explorer.exe", ""},
    {12, "TipsPath", "Lintel Tips.exe", ""},
    {13, "TipsPath", "Lintel Tips.exe", "START"},
    {kNewToolbarCommand, "NewWizPath", "Lintel Wizard.exe", ""},
};

// A copy of a program built beside the tests.
std::string CopyProgram(const std::string& builtName, const std::string& folder, const std::string& name)
{
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string target = folder + "\\" + name;
    return CopyFileA((driver::ProgramFolder() + "\\" + builtName).c_str(), target.c_str(), FALSE) ? target
                                                                                                  : std::string();
}

// The echo program writes "<its path>.out": its command line, then its folder.
std::string EchoOutput(const std::string& program) { return program + ".out"; }

// The command line an echo copy was started with, less its own name and the
// blank after it; "<not started>" when it did not run in time.
std::string EchoedArguments(const std::string& program, DWORD timeoutMs)
{
    std::string commandLine;
    const bool ran = driver::WaitUntil(
        [&] {
            std::ifstream file(EchoOutput(program), std::ios::binary);
            std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
            const size_t end = text.find("\r\n");
            if (end == std::string::npos)
                return false;
            commandLine = text.substr(0, end);
            return true;
        },
        timeoutMs);
    if (!ran)
        return "<not started>";
    size_t end = commandLine[0] == '"' ? commandLine.find('"', 1) + 1 : commandLine.find(' ');
    if (end == std::string::npos || end == 0)
        end = commandLine.size();
    if (end < commandLine.size() && commandLine[end] == ' ')
        ++end;
    return commandLine.substr(end);
}

// Where the companions lie for one run of the program.
enum class Placement {
    ByValue,          // the registry names a copy elsewhere; a decoy lies beside Lintel.exe
    Beside,           // no registry value; a copy lies beside Lintel.exe
    ValueToMissing,   // the registry names a file that is not there; a copy lies beside
    Nowhere,          // no registry value and nothing beside
};
const char* const kPlacementNames[] = {"ByValue", "Beside", "ValueToMissing", "Nowhere"};

} // namespace

class CompanionLaunchTest : public LintelProgramTest, public ::testing::WithParamInterface<Placement>
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        // The parameter's name holds a slash: a folder of its own instead.
        const int placement = static_cast<int>(GetParam());
        m_folder = driver::MakeTempFolder(std::string("CompanionLaunch.") + kPlacementNames[placement]);
        ForgetValues();
    }
    void TearDown() override
    {
        LintelProgramTest::TearDown();
        ForgetValues();
    }
    static void ForgetValues()
    {
        for (const char* name : {"ExplorerPath", "TipsPath", "NewWizPath"})
            driver::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kMachineKey, name);
    }
    // A copy of Lintel.exe in a folder of its own, so that what lies beside it
    // is only what the test puts there.
    driver::Process& StartCopy(const std::string& program)
    {
        auto process = std::make_unique<driver::Process>();
        EXPECT_TRUE(process->Start(program, "", m_folder));
        m_processes.push_back(std::move(process));
        return *m_processes.back();
    }
    // Chooses the command as the program menu does; the wizard needs the
    // "Create New Toolbar" dialog answered, where it is the preselected choice.
    void Choose(const driver::Process& lintel, HWND main, const Companion& companion)
    {
        PostMessageA(main, WM_COMMAND, companion.command, 0);
        if (companion.command != kNewToolbarCommand)
            return;
        HWND dialog = driver::WaitForWindow("#32770", "Create New Toolbar", driver::kDefaultTimeout, lintel.Id());
        ASSERT_NE(dialog, nullptr);
        ASSERT_TRUE(driver::PressButton(dialog, IDOK));
    }
};

TEST_P(CompanionLaunchTest, MenuCommandsStartTheCompanionFoundOrReport65)
{
    const Placement placement = GetParam();
    const std::string programFolder = m_folder + "\\program";
    const std::string installFolder = m_folder + "\\installed";
    const std::string lintelCopy = CopyProgram("Lintel.exe", programFolder, "Lintel.exe");
    ASSERT_FALSE(lintelCopy.empty());
    CreateDirectoryA(installFolder.c_str(), nullptr);

    for (const Companion& companion : kCompanions) {
        std::string installed = installFolder + "\\" + companion.fileName;
        // The folders outlive the test run; what an earlier run left must go.
        DeleteFileA(installed.c_str());
        DeleteFileA((programFolder + "\\" + companion.fileName).c_str());
        if (placement == Placement::ByValue) {
            ASSERT_FALSE(CopyProgram("echo_args.exe", installFolder, companion.fileName).empty());
        }
        if (placement == Placement::ValueToMissing)
            installed = installFolder + "\\Not there.exe";
        if (placement == Placement::ByValue || placement == Placement::ValueToMissing) {
            ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kMachineKey, companion.valueName,
                                                  installed.c_str()));
        }
        if (placement != Placement::Nowhere) {
            ASSERT_FALSE(CopyProgram("echo_args.exe", programFolder, companion.fileName).empty());
        }
    }

    driver::Process& lintel = StartCopy(lintelCopy);
    HWND main = WaitForMainWindow(lintel);
    ASSERT_NE(main, nullptr);

    for (size_t i = 0; i < std::size(kCompanions); ++i) {
        const Companion& companion = kCompanions[i];
        SCOPED_TRACE(companion.command);
        const std::string beside = programFolder + "\\" + companion.fileName;
        const std::string installed = installFolder + "\\" + companion.fileName;
        DeleteFileA(EchoOutput(beside).c_str());
        DeleteFileA(EchoOutput(installed).c_str());
        Choose(lintel, main, companion);

        switch (placement) {
        case Placement::ByValue:
            EXPECT_EQ(EchoedArguments(installed, 5000), companion.arguments);
            EXPECT_FALSE(driver::FileExists(EchoOutput(beside)));
            break;
        case Placement::Beside:
            EXPECT_EQ(EchoedArguments(beside, 5000), companion.arguments);
            break;
        case Placement::ValueToMissing:
        case Placement::Nowhere: {
            // The registry's word is final: the copy beside is not tried.
            HWND box = driver::WaitForMessageBox("Lintel", driver::kDefaultTimeout, lintel.Id());
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(driver::MessageBoxText(box), kLaunchFailed);
            driver::PressButton(box, IDOK);
            driver::WaitForWindowGone(box, 3000);
            if (companion.command == kNewToolbarCommand) {
                box = driver::WaitForMessageBox("Lintel", driver::kDefaultTimeout, lintel.Id());
                ASSERT_NE(box, nullptr);
                EXPECT_EQ(driver::MessageBoxText(box), kNewToolbarFailed);
                driver::PressButton(box, IDOK);
                driver::WaitForWindowGone(box, 3000);
            }
            EXPECT_FALSE(driver::FileExists(EchoOutput(beside)));
            break;
        }
        }
    }
    EXPECT_TRUE(Close(lintel));
}

std::string PlacementName(const ::testing::TestParamInfo<Placement>& info)
{
    return kPlacementNames[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(Placements, CompanionLaunchTest,
                         ::testing::Values(Placement::ByValue, Placement::Beside, Placement::ValueToMissing,
                                           Placement::Nowhere),
                         PlacementName);
