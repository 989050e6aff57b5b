// The sample toolbar that "make run" opens, made and read back by ltltool.
#include "ButtonTestSupport.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// Runs ltltool with the arguments, its standard output into a file; the exit
// code, or -1 when it could not start or did not end in time.
long RunTool(const std::string& arguments, const std::string& outputPath, std::string& output)
{
    SECURITY_ATTRIBUTES inherit{};
    inherit.nLength = sizeof inherit;
    inherit.bInheritHandle = TRUE;
    HANDLE file = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    std::string command = "\"" + driver::ProgramFolder() + "\\ltltool.exe\" " + arguments;
    const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                        nullptr, &startup, &process);
    CloseHandle(file);
    if (!started)
        return -1;
    DWORD code = 0;
    const bool ended = WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::ifstream in(outputPath, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    output = text.str();
    return ended ? static_cast<long>(code) : -1;
}

// The values of a key in the order the dump writes them ("kindName": "x").
std::vector<std::string> ValuesOf(const std::string& json, const std::string& key)
{
    std::vector<std::string> values;
    const std::string marker = "\"" + key + "\": ";
    for (size_t at = json.find(marker); at != std::string::npos; at = json.find(marker, at + 1)) {
        size_t start = at + marker.size();
        size_t end = json.find_first_of(",\r\n", start);
        std::string value = json.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        values.push_back(value);
    }
    return values;
}

} // namespace

TEST(LtltoolSample, HoldsNotepadRegistryEditorASpaceAndTheSystemDrive)
{
    // Windows always knows a class for programs; a fresh Wine prefix does not.
    button_test::ClassKeys classes;
    ASSERT_TRUE(classes.Set(".exe", "exefile"));
    const std::string folder = driver::MakeTempFolder("LtltoolSample");
    const std::string sample = folder + "\\Sample.ltl";
    std::string output;
    ASSERT_EQ(RunTool("sample \"" + sample + "\"", folder + "\\sample.txt", output), 0) << output;
    ASSERT_EQ(RunTool("dump \"" + sample + "\"", folder + "\\dump.txt", output), 0) << output;

    EXPECT_EQ(ValuesOf(output, "buttonCount"), std::vector<std::string>{"4"}) << output;
    EXPECT_EQ(ValuesOf(output, "kindName"), (std::vector<std::string>{"program", "program", "space", "folder"}))
        << output;
    char windows[MAX_PATH]{};
    GetWindowsDirectoryA(windows, sizeof windows);
    // JSON doubles every backslash.
    auto escaped = [](std::string path) {
        for (size_t at = path.find('\\'); at != std::string::npos; at = path.find('\\', at + 2))
            path.insert(at, "\\");
        return path;
    };
    const std::string drive = std::string(windows).substr(0, 3);
    const std::vector<std::string> files = ValuesOf(output, "fileName");
    ASSERT_EQ(files.size(), 3u) << output;
    EXPECT_EQ(lstrcmpiA(files[0].c_str(), escaped(std::string(windows) + "\\notepad.exe").c_str()), 0) << files[0];
    EXPECT_EQ(lstrcmpiA(files[1].c_str(), escaped(std::string(windows) + "\\regedit.exe").c_str()), 0) << files[1];
    EXPECT_EQ(lstrcmpiA(files[2].c_str(), escaped(drive).c_str()), 0) << files[2];
    // Every target is there, and the drive has a name to show.
    EXPECT_EQ(ValuesOf(output, "targetOk"), (std::vector<std::string>{"true", "true", "true"}));
    const std::vector<std::string> descriptions = ValuesOf(output, "description");
    ASSERT_EQ(descriptions.size(), 3u);
    EXPECT_FALSE(descriptions[2].empty());
}
