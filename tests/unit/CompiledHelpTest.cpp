// The built help files with the system's own HTML Help viewer: where no
// WinHelp file is installed, the contexts the programs ask for open topics of
// Lintel.chm and Lintel Intro.chm.  The viewer opens a window only for a
// context the file maps, so a context the help lost fails here.
#include "common/Help.h"
#include "driver/Driver.h"

#include <htmlhelp.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT kTrainingCardFlag = 0x8000;   // HELP_TCARD

std::string BinFolder()
{
    char path[MAX_PATH]{};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\'));
}

// A folder with the compiled help and no WinHelp file, as setup installs it.
class CInstalledHelp
{
public:
    CInstalledHelp()
    {
        char temp[MAX_PATH]{};
        GetTempPathA(MAX_PATH, temp);
        m_folder = std::string(temp) + "LintelHelpTest";
        CreateDirectoryA(m_folder.c_str(), nullptr);
        for (const char* name : {"Lintel.chm", "Lintel Intro.chm"})
            m_copied = CopyFileA((BinFolder() + "\\" + name).c_str(), (m_folder + "\\" + name).c_str(), FALSE) &&
                       m_copied;
    }
    ~CInstalledHelp()
    {
        for (const char* name : {"Lintel.chm", "Lintel Intro.chm"})
            DeleteFileA((m_folder + "\\" + name).c_str());
        RemoveDirectoryA(m_folder.c_str());
    }
    bool Copied() const { return m_copied; }
    std::string Request(const char* helpFile) const { return m_folder + "\\" + helpFile + ">Popup"; }

private:
    std::string m_folder;
    bool m_copied = true;
};

HWND FindViewer()
{
    return FindWindowA("HH Parent", nullptr);
}

} // namespace

TEST(CompiledHelp, TheViewerOpensTheTopicOfEveryKindOfRequest)
{
    CInstalledHelp installed;
    ASSERT_TRUE(installed.Copied()) << "Lintel.chm and Lintel Intro.chm are built beside the tests";
    HWND owner = CreateWindowExA(0, "STATIC", "Help owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                 nullptr, nullptr, nullptr);
    ASSERT_NE(owner, nullptr);
    const std::string main = installed.Request("Lintel.hlp");
    const std::string intro = installed.Request("Lintel Intro.hlp");
    const struct {
        const std::string& file;
        UINT command;
        ULONG_PTR data;
        const char* what;
    } cases[] = {
        {main, HELP_FINDER, 0, "Help Topics of the program menu"},
        {main, HELP_CONTEXT, 52, "Help button of Create New Toolbar"},
        {main, HELP_CONTEXT, 7, "Help button of Convert File?"},
        {main, HELP_CONTEXTPOPUP, 430, "F1 in the toolbar menu"},
        {main, HELP_CONTEXT, 511, "F1 on Tool Tips in Options"},
        {main, HELP_CONTEXT, 805, "F1 in the Explorer's object menu"},
        {main, HELP_CONTEXT, 723, "Help on the wizard's last page"},
        {main, HELP_CONTEXT, 85, "More Info of a tip"},
        {intro, HELP_CONTEXT | kTrainingCardFlag, 1000, "the first lesson"},
        {intro, HELP_CONTEXT | kTrainingCardFlag, 1004, "the last lesson"},
    };
    for (const auto& request : cases) {
        SCOPED_TRACE(request.what);
        EXPECT_TRUE(ShowHelp(owner, request.file.c_str(), request.command, request.data));
        EXPECT_NE(FindViewer(), nullptr);
    }
    driver::Screenshot("compiled-help-viewer");

    // Neither file maps these: the viewer refuses instead of showing a blank page.
    EXPECT_FALSE(ShowHelp(owner, main.c_str(), HELP_CONTEXT, 9999));
    EXPECT_FALSE(ShowHelp(owner, intro.c_str(), HELP_CONTEXT | kTrainingCardFlag, 52));

    EXPECT_TRUE(ShowHelp(owner, main.c_str(), HELP_QUIT, 0));
    DestroyWindow(owner);
}
