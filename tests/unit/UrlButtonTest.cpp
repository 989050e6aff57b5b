// Internet address buttons: the kind of an address and its picture, what the
// shell is handed when one is clicked, and the line between a bare address
// and a file (an Internet shortcut) that happens to be named like one.
#include "ButtonTestSupport.h"
#include "buttons/UrlButton.h"
#include "driver/ToolbarDump.h"
#include "driver/Driver.h"
#include "resources/lintel/resource.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <iterator>

using button_test::CopyEchoProgram;
using button_test::EchoedArguments;
using button_test::ForgetEcho;

namespace {

// The pixels a 32-pixel icon resource of the program draws, as the toolbar's
// list would hold it.
std::vector<DWORD> ResourcePixels(UINT resource)
{
    HIMAGELIST list = ImageList_Create(32, 32, ILC_COLOR32 | ILC_MASK, 1, 1);
    HICON icon = static_cast<HICON>(
        LoadImageA(AppInstance(), MAKEINTRESOURCEA(resource), IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
    const int index = ImageList_ReplaceIcon(list, -1, icon);
    std::vector<DWORD> pixels = button_test::IconPixels(list, index, 32);
    DestroyIcon(icon);
    ImageList_Destroy(list);
    return pixels;
}

nlohmann::json Dump(const std::string& file, const std::string& folder)
{
    const nlohmann::json dump = driver::DumpToolbar(file, folder);
    return dump.is_discarded() ? nlohmann::json() : dump;
}

} // namespace

class UrlButtonTest : public ButtonTest
{
protected:
    CUrlButton* AddAddressButton(const std::string& address)
    {
        auto button = std::make_unique<CUrlButton>(m_toolbar, m_app.get(), nullptr);
        if (!button->Create(address.c_str(), Data(), 3))
            return nullptr;
        return InsertButton(m_toolbar, button.release());
    }
};

TEST(AddressKind, FirstTextFoundAnywhereWins)
{
    const struct {
        const char* address;
        AddressKind kind;
        UINT icon;
    } cases[] = {
        {"http://example.com/start", kAddressWeb, IDI_ADDRESS_WEB},
        {"www.example.com", kAddressWeb, IDI_ADDRESS_WEB},
        {"ftp://files.example.com/pub", kAddressFtp, IDI_ADDRESS_FTP},
        {"mailto:someone@example.com", kAddressMail, IDI_ADDRESS_MAIL},
        {"file:///c:/notes.txt", kAddressFile, IDI_ADDRESS_OTHER},
        {"news:comp.lang.c", kAddressNews, IDI_ADDRESS_NEWS},
        // "news" anywhere, but "http" comes first in the list.
        {"telnet://news.example.com", kAddressNews, IDI_ADDRESS_NEWS},
        {"http://news.example.com", kAddressWeb, IDI_ADDRESS_WEB},
        {"javascript:alert(1)", kAddressScript, IDI_ADDRESS_OTHER},
        {"gopher://gopher.example.com", kAddressGopher, IDI_ADDRESS_OTHER},
        {"lintelx:thing", kAddressOther, IDI_ADDRESS_OTHER},
        // The texts are looked for with their case.
        {"HTTP://EXAMPLE.COM", kAddressOther, IDI_ADDRESS_OTHER},
        {"http://example.com/my page", kAddressInvalid, IDI_ADDRESS_OTHER},
        {"", kAddressEmpty, IDI_ADDRESS_OTHER},
    };
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.address);
        EXPECT_EQ(AddressKindOf(entry.address), entry.kind);
        EXPECT_EQ(AddressIconOf(AddressKindOf(entry.address)), entry.icon);
    }
    EXPECT_EQ(AddressKindOf(nullptr), kAddressEmpty);
}

TEST_F(UrlButtonTest, EachKindShowsItsIconAndIsHandedToItsSchemesProgram)
{
    const std::string echo = CopyEchoProgram(m_folder, "browser.exe");
    ASSERT_FALSE(echo.empty());
    for (const char* scheme : {"http", "ftp", "mailto", "news", "gopher", "javascript", "lintelx"})
        ASSERT_TRUE(m_classes.Set(std::string(scheme) + "\\shell\\open\\command", "\"" + echo + "\" %1"));

    const struct {
        const char* address;
        const char* description;
        UINT icon;
        bool starts;   // a scheme the test prefix knows
    } cases[] = {
        {"http://example.com/start", "start", IDI_ADDRESS_WEB, true},
        {"www.example.com", "www.example.com", IDI_ADDRESS_WEB, false},
        {"ftp://files.example.com/pub", "pub", IDI_ADDRESS_FTP, true},
        {"mailto:someone@example.com", "someone@example.com", IDI_ADDRESS_MAIL, true},
        {"news:comp.lang.c", "comp.lang.c", IDI_ADDRESS_NEWS, true},
        {"gopher://gopher.example.com/menu", "menu", IDI_ADDRESS_OTHER, true},
        {"javascript:go", "go", IDI_ADDRESS_OTHER, true},
        {"lintelx:thing", "thing", IDI_ADDRESS_OTHER, true},
        {"http://example.com/my page", "my page", IDI_ADDRESS_OTHER, false},
    };
    std::vector<CUrlButton*> buttons;
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.address);
        CUrlButton* button = AddAddressButton(entry.address);
        ASSERT_NE(button, nullptr);
        buttons.push_back(button);
        EXPECT_STREQ(button->FileName().c_str(), entry.address);
        EXPECT_STREQ(button->Description().c_str(), entry.description);
        EXPECT_FALSE(button->IsFileSystem());
        EXPECT_EQ(button->CheckFileOk(), AddressKindOf(entry.address) > kAddressInvalid);
        EXPECT_EQ(button_test::IconPixels(m_toolbar->ImageList(1), button->ImageIndex(), 32),
                  ResourcePixels(entry.icon));
        if (entry.starts) {
            ForgetEcho(echo);
            EXPECT_TRUE(button->Execute(nullptr, nullptr));
            EXPECT_EQ(EchoedArguments(echo), entry.address);
            EXPECT_TRUE(button->IsTargetOk());
        }
    }

    // The file keeps what the buttons were made of, none of them a file.
    const std::string file = m_folder + "\\addresses.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(file.c_str(), kVersionCurrent));
    const nlohmann::json dump = Dump(file, m_folder);
    ASSERT_TRUE(dump.contains("buttons")) << dump.dump();
    ASSERT_EQ(dump["buttons"].size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].address);
        EXPECT_EQ(dump["buttons"][i]["kindName"], "url");
        EXPECT_EQ(dump["buttons"][i]["fileName"], cases[i].address);
        EXPECT_EQ(dump["buttons"][i]["fileSystem"], false);
    }
}

TEST_F(UrlButtonTest, AnAddressNoProgramTakesIsReportedAndNeverForgiven)
{
    CUrlButton* button = AddAddressButton("lintelnone:thing");
    ASSERT_NE(button, nullptr);
    BOOL started = TRUE;
    const std::string text = AnswerBoxDuring([&] { started = button->Execute(nullptr, nullptr); },
                                             "lintelnone:thing", IDOK);
    EXPECT_NE(text, "<no box>");
    EXPECT_FALSE(started);
    EXPECT_FALSE(button->IsTargetOk());
}

TEST_F(UrlButtonTest, AnExistingFileIsAFileAtAnyPathLengthAndABareNameNever)
{
    // A shortcut file 150 characters long, which the old 16-bit file calls
    // take for a missing file.
    std::string folder = m_folder + "\\";
    while (folder.size() < 150 - 20)
        folder += "f";
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    std::string shortcut = folder + "\\";
    shortcut += std::string(150 - shortcut.size() - 4, 's') + ".url";
    ASSERT_EQ(shortcut.size(), 150u);
    driver::WriteTextFile(shortcut, "[InternetShortcut]\r\nURL=http://example.com/\r\n");

    CUrlButton* file = AddAddressButton(shortcut);
    ASSERT_NE(file, nullptr);
    EXPECT_TRUE(file->IsFileSystem());
    EXPECT_TRUE(file->CheckFileOk());
    EXPECT_FALSE(file->ItemId().IsDesktop()) << "a file has the shell's identifiers";

    // A file in the current folder named like an address stays an address.
    char current[MAX_PATH]{};
    GetCurrentDirectoryA(sizeof current, current);
    SetCurrentDirectoryA(m_folder.c_str());
    driver::WriteTextFile(m_folder + "\\www.example.org", "not a page");
    CUrlButton* bare = AddAddressButton("www.example.org");
    SetCurrentDirectoryA(current);
    ASSERT_NE(bare, nullptr);
    EXPECT_FALSE(bare->IsFileSystem());

    // Changing the text moves the button between the two, in both directions.
    file->SetFile("http://example.com/other");
    EXPECT_FALSE(file->IsFileSystem());
    EXPECT_TRUE(file->ItemId().IsDesktop()) << "no identifiers of the old file are left";
    EXPECT_EQ(button_test::IconPixels(m_toolbar->ImageList(1), file->ImageIndex(), 32),
              ResourcePixels(IDI_ADDRESS_WEB));
    bare->SetFile(shortcut.c_str());
    EXPECT_TRUE(bare->IsFileSystem());

    const std::string toolbarFile = m_folder + "\\files.ltl";
    ASSERT_TRUE(m_toolbar->WriteToFile(toolbarFile.c_str(), kVersionCurrent));
    const nlohmann::json dump = Dump(toolbarFile, m_folder);
    ASSERT_TRUE(dump.contains("buttons")) << dump.dump();
    ASSERT_EQ(dump["buttons"].size(), 2u);
    EXPECT_EQ(dump["buttons"][0]["fileSystem"], false);
    EXPECT_EQ(dump["buttons"][1]["fileSystem"], true);
    EXPECT_EQ(dump["buttons"][1]["fileName"], shortcut);
}

TEST_F(UrlButtonTest, OnlyAFileTargetOffersTheTargetMenu)
{
    const std::string page = m_folder + "\\page.htm";
    driver::WriteTextFile(page, "<html></html>");
    CUrlButton* file = AddAddressButton(page);
    CUrlButton* address = AddAddressButton("http://example.com/start");
    ASSERT_NE(file, nullptr);
    ASSERT_NE(address, nullptr);
    const auto targetMenuOf = [](CUrlButton* button) {
        CMenuHandle menu = button->BuildContextMenu();
        HMENU popup = menu ? GetSubMenu(menu.Get(), 0) : nullptr;
        return popup && GetSubMenu(popup, 0) != nullptr;
    };
    EXPECT_TRUE(targetMenuOf(file));
    EXPECT_FALSE(targetMenuOf(address));
    EXPECT_FALSE(address->OnHold()) << "a long press starts the address";
}
