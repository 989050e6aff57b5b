#include "app/MainApp.h"
#include "common/Associations.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

namespace {

// Extensions and classes of this test only, registered for each test and
// removed after it.
struct Registration {
    std::string extension;
    std::string className;
    std::string command;   // empty: the class has no open command
};

class AssociationsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_folder = driver::MakeTempFolder("associations");
        // Two existing files where one is a leading part of the other's path,
        // so only the longest match is right.
        driver::WriteTextFile(m_folder + "\\my tool.exe", "program");
        driver::WriteTextFile(m_folder + "\\my", "not the program");
        SetEnvironmentVariableA("LINTEL_ASSOC_DIR", m_folder.c_str());

        m_registrations = {
            {".lintq", "LintelTest.Quoted", "\"C:\\Program Files\\Some App\\app one.exe\" /open \"%1\""},
            {".lintqe", "LintelTest.QuotedEnv", "\"%LINTEL_ASSOC_DIR%\\my tool.exe\" \"%1\""},
            {".lintu", "LintelTest.Unquoted", m_folder + "\\my tool.exe %1"},
            {".lintue", "LintelTest.UnquotedEnv", "%LINTEL_ASSOC_DIR%\\my tool.exe /x /y %1"},
            {".lintuq", "LintelTest.Unterminated", "\"" + m_folder + "\\my tool.exe /open %1"},
            {".lintn", "LintelTest.Nowhere", "C:\\nowhere at all\\absent.exe %1"},
            {".lintc", "LintelTest.NoCommand", ""},
        };
        for (const Registration& entry : m_registrations) {
            ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, entry.extension.c_str(), nullptr,
                                                  entry.className.c_str()));
            const std::string commandKey = entry.className + "\\shell\\open\\command";
            if (!entry.command.empty())
                ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, commandKey.c_str(), nullptr,
                                                      entry.command.c_str()));
            else
                ASSERT_TRUE(driver::SetRegistryString(HKEY_CLASSES_ROOT, entry.className.c_str(), nullptr,
                                                      "No command"));
        }
    }

    void TearDown() override
    {
        for (const Registration& entry : m_registrations) {
            driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, entry.extension.c_str());
            driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, entry.className.c_str());
        }
        SetEnvironmentVariableA("LINTEL_ASSOC_DIR", nullptr);
    }

    std::string m_folder;
    std::vector<Registration> m_registrations;
};

} // namespace

TEST_F(AssociationsTest, CommandGivesTheProgram)
{
    const std::string tool = m_folder + "\\my tool.exe";
    struct Case {
        std::string document;
        BOOL want;
        std::string program;
    };
    const Case cases[] = {
        {"C:\\docs\\letter.lintq", TRUE, "C:\\Program Files\\Some App\\app one.exe"},   // need not exist
        {"C:\\docs\\LETTER.LINTQ", TRUE, "C:\\Program Files\\Some App\\app one.exe"},
        {"C:\\docs\\letter.lintqe", TRUE, tool},
        {"C:\\docs\\letter.lintu", TRUE, tool},
        {"C:\\docs\\letter.lintue", TRUE, tool},
        {"C:\\docs\\letter.lintuq", TRUE, tool},   // an opening quote alone is dropped
        {"C:\\docs\\letter.lintn", FALSE, ""},
        {"C:\\docs\\letter.lintc", FALSE, ""},
        {"C:\\docs\\letter.lintnone", FALSE, ""},   // not registered
        {"C:\\docs\\readme", FALSE, ""},            // no extension
        {"C:\\docs.lintq\\readme", FALSE, ""},      // a dot in a folder name is no extension
        {".lintq", FALSE, ""},                      // nothing before the dot
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.document);
        CText program("previous");
        EXPECT_EQ(GetAssociatedExe(entry.document.c_str(), program), entry.want);
        EXPECT_STREQ(program.c_str(), entry.program.c_str());
    }
}

TEST(DefaultFolder, IsTheDocumentsFolder)
{
    CText folder;
    GetDefaultFolder(folder);
    ASSERT_FALSE(folder.IsEmpty());
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << folder.c_str();
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    char documents[MAX_PATH]{};
    if (SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, documents) == S_OK) {
        // Wine's parsing name of the folder ends in a backslash, Windows' does not.
        CText name(folder);
        if (name.Length() > 3 && *name.At(name.Length() - 1) == '\\')
            name.Left(name.Length() - 1);
        EXPECT_TRUE(name == documents) << folder.c_str() << " / " << documents;
    }
}
