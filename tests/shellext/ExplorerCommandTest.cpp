// The Find menu's "Lintel Explorer" command: it adds no item of its own and
// starts whatever program setup recorded as the Explorer's path.
#include "ShellExtensionSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

using namespace shellext;

namespace {

constexpr const char* kSettingsKey = "SOFTWARE\\Corvane\\Lintel\\Current";
constexpr const char* kPathValue = "ExplorerPath";

std::string ReadFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

class ExplorerCommandTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = driver::MakeTempFolder(std::string(info->test_suite_name()) + "." + info->name());
        driver::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, kPathValue);
        m_object = MakeMenuObject(kExplorerCommandClass, nullptr);
        ASSERT_TRUE(m_object);
    }
    void TearDown() override
    {
        m_object.Reset();
        driver::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, kPathValue);
        CoUninitialize();
    }

    std::string m_folder;
    CComPtr<IContextMenu> m_object;
};

} // namespace

TEST_F(ExplorerCommandTest, TheCommandStartsTheProgramNamedByExplorerPath)
{
    // A program that writes its command line beside itself, under the
    // Explorer's own name with its space.
    const std::string program = m_folder + "\\Lintel Explorer.exe";
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\echo_args.exe").c_str(), program.c_str(), FALSE));
    ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kSettingsKey, kPathValue, program.c_str()));

    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(m_object->QueryContextMenu(menu, 0, 100, 200, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0));
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    DestroyMenu(menu);

    EXPECT_EQ(InvokeOffset(m_object.Get(), 0), S_OK);
    const std::string output = program + ".out";
    ASSERT_TRUE(driver::WaitUntil([&] { return ReadFile(output).find("\r\n") != std::string::npos; }));
    std::string commandLine = ReadFile(output).substr(0, ReadFile(output).find("\r\n"));
    // The program alone, with no arguments.
    while (!commandLine.empty() && (commandLine.back() == ' ' || commandLine.back() == '"'))
        commandLine.pop_back();
    const std::string tail = "\\Lintel Explorer.exe";
    ASSERT_GE(commandLine.size(), tail.size());
    EXPECT_EQ(commandLine.substr(commandLine.size() - tail.size()), tail) << commandLine;
}

TEST_F(ExplorerCommandTest, WithoutAProgramToStartOrForAnotherCommandItFails)
{
    struct Case {
        const char* path;   // null: no value
        UINT offset;
        const char* verb;
        HRESULT want;
    };
    const std::string missing = m_folder + "\\Missing Explorer.exe";
    const Case cases[] = {
        {nullptr, 0, nullptr, E_FAIL},
        {"", 0, nullptr, E_FAIL},
        {missing.c_str(), 0, nullptr, E_FAIL},
        {missing.c_str(), 1, nullptr, E_INVALIDARG},
        {missing.c_str(), 0, "LintelExplorer", E_INVALIDARG},
        {missing.c_str(), 0, "find", E_INVALIDARG},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        if (cases[i].path)
            ASSERT_TRUE(driver::SetRegistryString(HKEY_LOCAL_MACHINE, kSettingsKey, kPathValue, cases[i].path));
        else
            driver::DeleteRegistryValue(HKEY_LOCAL_MACHINE, kSettingsKey, kPathValue);
        const HRESULT hr = cases[i].verb ? InvokeVerb(m_object.Get(), cases[i].verb, CMIC_MASK_FLAG_NO_UI)
                                         : InvokeOffset(m_object.Get(), cases[i].offset, CMIC_MASK_FLAG_NO_UI);
        EXPECT_EQ(hr, cases[i].want);
    }
}

TEST_F(ExplorerCommandTest, CommandStringsAreTheHelpTextAndTheVerbOfOffsetZero)
{
    struct Case {
        UINT offset;
        UINT request;
        UINT size;
        HRESULT want;
        const char* text;
    };
    const Case cases[] = {
        {0, GCS_HELPTEXTA, 64, S_OK, "Search for files with Lintel Explorer"},
        {0, GCS_HELPTEXTW, 64, S_OK, "Search for files with Lintel Explorer"},
        {0, GCS_HELPTEXTW, 7, HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), "Search"},
        {0, GCS_VERBA, 64, S_OK, "LintelExplorer"},
        {0, GCS_VERBW, 64, S_OK, "LintelExplorer"},
        {0, GCS_VALIDATEA, 64, S_OK, nullptr},
        {1, GCS_VALIDATEA, 64, S_FALSE, nullptr},
        {1, GCS_HELPTEXTA, 64, E_INVALIDARG, nullptr},
        {0, GCS_VERBICONW, 64, E_NOTIMPL, nullptr},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        BYTE buffer[256];
        std::memset(buffer, 0xcc, sizeof buffer);
        EXPECT_EQ(m_object->GetCommandString(c.offset, c.request, nullptr, reinterpret_cast<CHAR*>(buffer), c.size),
                  c.want);
        if (!c.text) {
            EXPECT_EQ(buffer[0], 0xcc);
            continue;
        }
        const bool wide = (c.request & GCS_UNICODE) != 0;
        std::string written;
        if (wide) {
            for (const auto* text = reinterpret_cast<const WCHAR*>(buffer); *text && *text != 0xcccc; ++text)
                written.push_back(static_cast<char>(*text));
        } else {
            written = reinterpret_cast<const char*>(buffer);
        }
        EXPECT_EQ(written, c.text);
        const size_t unit = wide ? sizeof(WCHAR) : 1;
        EXPECT_EQ(buffer[c.size * unit], 0xcc) << "written past the buffer";
    }
}
