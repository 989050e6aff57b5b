// The "Add to" context menu handler against the stand-in main program and its
// toolbars: the items it adds for the open toolbars, the ids it takes, its
// command strings, and what it hands over (or refuses to) when a command is
// chosen.
#include "ShellExtensionSupport.h"

#include "driver/StandIns.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <iterator>
#include <thread>

using namespace shellext;

namespace {

constexpr UINT kFirstId = 100;
constexpr UINT kLastId = 200;
constexpr const char* kGoneText =
    "Lintel was unable to add the selection to the above toolbar. This could be due to the toolbar having been closed.";

class ToolbarMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // Toolbars of an earlier failed test would be on every menu.
        driver::KillProgramsWithWindow("CToolbarWindow");
        driver::KillProgramsWithWindow("LintelMainWindow");
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = driver::MakeTempFolder(std::string(info->test_suite_name()) + "." + info->name());
        for (const char* name : {"first.txt", "second.txt"}) {
            m_files.push_back(m_folder + "\\" + name);
            driver::WriteTextFile(m_files.back(), name);
        }
        m_data = ShellDataObject(m_files);
        ASSERT_TRUE(m_data);
    }
    void TearDown() override
    {
        m_lintel.Stop();
        m_data.Reset();
        OleSetClipboard(nullptr);
        OleUninitialize();
    }

    // A menu object given the selection, asked for its items on a menu that
    // already holds two of the shell's, at position 1.
    HRESULT Query(UINT flags = CMF_NORMAL, UINT firstId = kFirstId, UINT lastId = kLastId)
    {
        m_object = MakeMenuObject(kToolbarMenuClass, m_data.Get());
        if (!m_object)
            return E_FAIL;
        m_menu = CreatePopupMenu();
        AppendMenuA(m_menu, MF_STRING, 1, "&Open");
        AppendMenuA(m_menu, MF_STRING, 2, "P&roperties");
        return m_object->QueryContextMenu(m_menu, 1, firstId, lastId, flags);
    }
    // What was added between the shell's own two items.
    std::vector<MenuEntry> Added() const
    {
        std::vector<MenuEntry> entries = MenuEntries(m_menu);
        EXPECT_GE(entries.size(), 2u);
        if (entries.size() < 2)
            return {};
        EXPECT_EQ(entries.front().text, "&Open");
        EXPECT_EQ(entries.back().text, "P&roperties");
        return std::vector<MenuEntry>(entries.begin() + 1, entries.end() - 1);
    }
    static MenuEntry Item(const std::string& text, UINT id)
    {
        MenuEntry entry;
        entry.text = text;
        entry.id = id;
        return entry;
    }
    static MenuEntry Popup(std::vector<MenuEntry> items)
    {
        MenuEntry entry;
        entry.text = "Add to toolbar...";
        entry.popup = true;
        entry.items = std::move(items);
        return entry;
    }

    // The files the stand-in's next addbutton record names, and its atom.
    void ExpectHandedOver(const std::string& atom)
    {
        driver::StandInRecord added;
        ASSERT_TRUE(m_lintel.WaitForRecord("addbutton", added));
        EXPECT_EQ(added.atomState, driver::StandInRecord::Atom::Read);
        EXPECT_EQ(added.atom, atom);
        EXPECT_EQ(added.files, m_files);
        // The receiver deleted the atom; nothing of ours is left.
        EXPECT_EQ(GlobalFindAtomA(atom.c_str()), 0);
    }

    // Chooses the command on a thread of its own, as a box the command shows
    // holds it until answered: every box of this process is answered and
    // kept as "caption: text".
    HRESULT InvokeAnsweringBoxes(UINT offset, std::vector<std::string>& boxes, DWORD mask = 0)
    {
        HRESULT hr = E_UNEXPECTED;
        std::atomic<bool> done{false};
        std::thread chooser([&] {
            OleInitialize(nullptr);
            hr = InvokeOffset(m_object.Get(), offset, mask);
            OleUninitialize();
            done = true;
        });
        const bool finished = driver::WaitUntil([&] {
            if (HWND box = driver::FindTopWindow("#32770", nullptr, GetCurrentProcessId())) {
                if (IsWindowVisible(box) && !driver::MessageBoxText(box).empty()) {
                    boxes.push_back(driver::WindowText(box) + ": " + driver::MessageBoxText(box));
                    driver::PressButton(box, IDOK);
                    driver::WaitForWindowGone(box);
                }
            }
            return done.load();
        });
        EXPECT_TRUE(finished);
        chooser.join();
        return hr;
    }

    void DestroyMenu()
    {
        if (m_menu)
            ::DestroyMenu(m_menu);
        m_menu = nullptr;
    }

    std::string m_folder;
    std::vector<std::string> m_files;
    CComPtr<IDataObject> m_data;
    driver::CompanionStandIn m_lintel;
    CComPtr<IContextMenu> m_object;
    HMENU m_menu = nullptr;

public:
    ~ToolbarMenuTest() override { DestroyMenu(); }
};

std::string Name(int i)
{
    return "Bar " + std::to_string(i);
}

std::vector<std::string> Names(int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(Name(i));
    return names;
}

} // namespace

TEST_F(ToolbarMenuTest, ASingleToolbarIsOneItemNamedAfterIt)
{
    struct Case {
        const char* title;
        const char* item;
    };
    const Case cases[] = {
        {"Tools", "Add to Tools"},
        {"", "Add to toolbar"},
        {"Tools (P)", "Add to Tools (P)"},
        // An ampersand shows as itself, not as the next letter underlined.
        {"R&D", "Add to R&&D"},
        // Cut to 62 characters.
        {"A toolbar with a name far longer than any menu item should show",
         "Add to A toolbar with a name far longer than any menu item sho"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(cases[i].title);
        ASSERT_TRUE(m_lintel.Start(m_folder, true, {cases[i].title}));
        EXPECT_EQ(Query(), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
        const std::vector<MenuEntry> added = Added();
        EXPECT_EQ(added, std::vector<MenuEntry>{Item(cases[i].item, kFirstId)}) << Describe(added);
        DestroyMenu();
    }
}

TEST_F(ToolbarMenuTest, SeveralToolbarsAreAPopupOfTheFirstTenEnumerated)
{
    for (int count : {3, 11}) {
        SCOPED_TRACE(count);
        std::vector<std::string> titles = Names(count);
        titles[1] = "";   // untitled
        ASSERT_TRUE(m_lintel.Start(m_folder, true, titles));
        const std::vector<std::string> enumerated = EnumeratedToolbarTitles();
        ASSERT_EQ(enumerated.size(), static_cast<size_t>(count));
        const int offered = count < 10 ? count : 10;
        std::vector<MenuEntry> items;
        for (int i = 0; i < offered; ++i)
            items.push_back(Item(enumerated[i].empty() ? "Unknown" : enumerated[i], kFirstId + 1 + i));

        EXPECT_EQ(Query(), MAKE_HRESULT(SEVERITY_SUCCESS, 0, offered + 1));
        const std::vector<MenuEntry> added = Added();
        EXPECT_EQ(added, std::vector<MenuEntry>{Popup(items)}) << Describe(added);
        DestroyMenu();
    }
}

TEST_F(ToolbarMenuTest, NoToolbarOrADefaultOnlyMenuGainsNothing)
{
    ASSERT_TRUE(m_lintel.Start(m_folder, true));
    EXPECT_EQ(Query(), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0));
    EXPECT_TRUE(Added().empty());
    DestroyMenu();

    ASSERT_TRUE(m_lintel.Start(m_folder, true, Names(3)));
    struct Case {
        UINT flags;
        bool adds;
    };
    const Case cases[] = {
        {CMF_DEFAULTONLY, false},
        {CMF_DEFAULTONLY | CMF_EXTENDEDVERBS, false},
        {CMF_NORMAL, true},
        {CMF_EXPLORE | CMF_CANRENAME, true},
        {CMF_VERBSONLY, true},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const HRESULT hr = Query(cases[i].flags);
        EXPECT_EQ(HRESULT_CODE(hr), cases[i].adds ? 4 : 0);
        EXPECT_EQ(Added().size(), cases[i].adds ? 1u : 0u);
        DestroyMenu();
    }
}

TEST_F(ToolbarMenuTest, ItemsStayWithinTheIdsTheShellGives)
{
    struct Case {
        int toolbars;
        UINT firstId, lastId;
        int itemsOnPopup;   // -1: the single item; 0: nothing added
    };
    const Case cases[] = {
        {3, 100, 104, 3}, {3, 100, 103, 3}, {3, 100, 102, 2}, {3, 100, 101, 1},
        {3, 100, 100, 0}, {1, 100, 100, -1}, {1, 101, 100, 0}, {3, 0xFFFF, 0xFFFF, 0},
    };
    int running = -1;
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        if (running != c.toolbars) {
            ASSERT_TRUE(m_lintel.Start(m_folder, true, Names(c.toolbars)));
            running = c.toolbars;
        }
        const HRESULT hr = Query(CMF_NORMAL, c.firstId, c.lastId);
        const std::vector<MenuEntry> added = Added();
        if (c.itemsOnPopup == 0) {
            EXPECT_EQ(hr, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0));
            EXPECT_TRUE(added.empty()) << Describe(added);
        } else if (c.itemsOnPopup < 0) {
            EXPECT_EQ(hr, MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
            ASSERT_EQ(added.size(), 1u);
            EXPECT_EQ(added[0].id, c.firstId);
        } else {
            EXPECT_EQ(hr, MAKE_HRESULT(SEVERITY_SUCCESS, 0, c.itemsOnPopup + 1));
            ASSERT_EQ(added.size(), 1u);
            ASSERT_EQ(added[0].items.size(), static_cast<size_t>(c.itemsOnPopup)) << Describe(added);
            for (const MenuEntry& item : added[0].items) {
                EXPECT_GT(item.id, c.firstId);
                EXPECT_LE(item.id, c.lastId);
            }
        }
        DestroyMenu();
    }
}

TEST_F(ToolbarMenuTest, CommandStringsHonourTheRequestAndTheBufferSize)
{
    struct Case {
        int toolbars;
        UINT offset;
        UINT request;
        UINT size;
        HRESULT want;
        const char* text;   // null: nothing written
    };
    const HRESULT kCut = HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    const Case cases[] = {
        {1, 0, GCS_HELPTEXTA, 64, S_OK, "Adds selection to this toolbar"},
        {1, 0, GCS_HELPTEXTW, 64, S_OK, "Adds selection to this toolbar"},
        {1, 0, GCS_HELPTEXTA, 5, kCut, "Adds"},
        {1, 0, GCS_HELPTEXTW, 5, kCut, "Adds"},
        {1, 0, GCS_VERBA, 64, S_OK, "LintelAddTo"},
        {1, 0, GCS_VERBW, 64, S_OK, "LintelAddTo"},
        {1, 0, GCS_VALIDATEA, 64, S_OK, nullptr},
        {1, 2, GCS_VALIDATEW, 64, S_FALSE, nullptr},
        {1, 2, GCS_HELPTEXTA, 64, E_INVALIDARG, nullptr},
        {1, 0, GCS_HELPTEXTA, 0, E_INVALIDARG, nullptr},
        {1, 0, GCS_VERBICONW, 64, E_NOTIMPL, nullptr},
        {1, 0, 3, 64, E_NOTIMPL, nullptr},
        {3, 0, GCS_HELPTEXTA, 64, S_OK, "Choose a toolbar to add the selection to"},
        {3, 0, GCS_HELPTEXTW, 64, S_OK, "Choose a toolbar to add the selection to"},
        {3, 2, GCS_HELPTEXTW, 64, S_OK, "Adds selection to this toolbar"},
        {3, 3, GCS_VERBA, 64, S_OK, "LintelAddTo3"},
        {3, 3, GCS_VERBW, 8, kCut, "LintelA"},
        {3, 0, GCS_VERBA, 64, E_INVALIDARG, nullptr},
        {3, 4, GCS_HELPTEXTA, 64, E_INVALIDARG, nullptr},
        {3, 4, GCS_VALIDATEA, 64, S_FALSE, nullptr},
    };
    int running = -1;
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        if (running != c.toolbars) {
            ASSERT_TRUE(m_lintel.Start(m_folder, true, Names(c.toolbars)));
            running = c.toolbars;
            DestroyMenu();
            ASSERT_TRUE(SUCCEEDED(Query()));
        }
        const bool wide = (c.request & GCS_UNICODE) != 0;
        // Poisoned, to show every byte the call wrote.
        BYTE buffer[256];
        std::memset(buffer, 0xcc, sizeof buffer);
        EXPECT_EQ(m_object->GetCommandString(c.offset, c.request, nullptr, reinterpret_cast<CHAR*>(buffer), c.size),
                  c.want);
        const size_t unit = wide ? sizeof(WCHAR) : 1;
        if (!c.text) {
            EXPECT_EQ(buffer[0], 0xcc);
            continue;
        }
        std::string written;
        if (wide) {
            const auto* text = reinterpret_cast<const WCHAR*>(buffer);
            for (size_t k = 0; k < c.size && text[k]; ++k)
                written.push_back(static_cast<char>(text[k]));
        } else {
            written.assign(reinterpret_cast<const char*>(buffer), strnlen(reinterpret_cast<const char*>(buffer), c.size));
        }
        EXPECT_EQ(written, c.text);
        const size_t end = (std::strlen(c.text) + 1) * unit;
        EXPECT_LE(end, c.size * unit);
        for (size_t k = end - unit; k < end; ++k)
            EXPECT_EQ(buffer[k], 0) << "terminator byte " << k;
        for (size_t k = c.size * unit; k < sizeof buffer; ++k) {
            if (buffer[k] != 0xcc) {
                ADD_FAILURE() << "written past the buffer at byte " << k;
                break;
            }
        }
    }
}

TEST_F(ToolbarMenuTest, AChosenToolbarGetsTheSelectionUnderItsNameWithoutTheProtectedMark)
{
    ASSERT_TRUE(m_lintel.Start(m_folder, true, {"Tools (P)"}));
    ASSERT_TRUE(SUCCEEDED(Query()));
    EXPECT_EQ(InvokeOffset(m_object.Get(), 0), S_OK);
    ExpectHandedOver("Tools");

    // In a popup each toolbar has its own offset; 0 and offsets past the
    // last toolbar choose none, and a verb by a name not ours is refused.
    ASSERT_TRUE(m_lintel.Start(m_folder, true, {"Games", "Office (P)", "Tools"}));
    DestroyMenu();
    ASSERT_TRUE(SUCCEEDED(Query()));
    const std::vector<std::string> enumerated = EnumeratedToolbarTitles();
    ASSERT_EQ(enumerated.size(), 3u);
    EXPECT_EQ(InvokeOffset(m_object.Get(), 0), E_INVALIDARG);
    EXPECT_EQ(InvokeOffset(m_object.Get(), 4), E_INVALIDARG);
    EXPECT_EQ(InvokeVerb(m_object.Get(), "open"), E_INVALIDARG);
    for (UINT offset : {3u, 1u, 2u}) {
        SCOPED_TRACE(offset);
        EXPECT_EQ(InvokeOffset(m_object.Get(), offset), S_OK);
        std::string name = enumerated[offset - 1];
        if (name == "Office (P)")
            name = "Office";
        // The refused commands posted nothing: this is the next record.
        ExpectHandedOver(name);
    }
}

TEST_F(ToolbarMenuTest, ANameTooLongForAnAtomHandsNothingOver)
{
    const std::string longName(256, 'x');
    ASSERT_TRUE(m_lintel.Start(m_folder, true, {longName, "Short"}));
    ASSERT_TRUE(SUCCEEDED(Query()));
    const std::vector<std::string> enumerated = EnumeratedToolbarTitles();
    ASSERT_EQ(enumerated.size(), 2u);
    const UINT longOffset = enumerated[0] == longName ? 1 : 2;
    EXPECT_EQ(InvokeOffset(m_object.Get(), longOffset), E_FAIL);
    // A failed atom is 0, which posted would mean the toolbar in slot 0.
    EXPECT_EQ(InvokeOffset(m_object.Get(), 3 - longOffset), S_OK);
    ExpectHandedOver("Short");
}

TEST_F(ToolbarMenuTest, AToolbarGoneOrNotTheMainProgramsIsToldAndGetsNothing)
{
    // The stand-in's toolbar goes and another copy opens one of the same
    // name, as when Lintel is restarted while the menu is up.
    ASSERT_TRUE(m_lintel.Start(m_folder, true, {"Tools"}));
    ASSERT_TRUE(SUCCEEDED(Query()));
    ASSERT_TRUE(m_lintel.Start(m_folder, true, {"Tools"}));

    // Quietly when the caller asks for no user interface; otherwise told in
    // a box named after the toolbar.
    std::vector<std::string> boxes;
    EXPECT_EQ(InvokeAnsweringBoxes(0, boxes, CMIC_MASK_FLAG_NO_UI), E_FAIL);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(InvokeAnsweringBoxes(0, boxes), E_FAIL);
    EXPECT_EQ(boxes, std::vector<std::string>{std::string("Tools: ") + kGoneText});
    EXPECT_EQ(GlobalFindAtomA("Tools"), 0);

    // A toolbar window of a program that is not the main one.
    driver::CompanionStandIn other;
    ASSERT_TRUE(other.Start(driver::MakeTempFolder("ToolbarMenuTest.Other"), false, {"Elsewhere"}));
    DestroyMenu();
    ASSERT_TRUE(SUCCEEDED(Query()));
    const std::vector<std::string> enumerated = EnumeratedToolbarTitles();
    ASSERT_EQ(enumerated.size(), 2u);
    const UINT elsewhere = enumerated[0] == "Elsewhere" ? 1 : 2;
    boxes.clear();
    EXPECT_EQ(InvokeAnsweringBoxes(elsewhere, boxes), E_FAIL);
    EXPECT_EQ(boxes, std::vector<std::string>{std::string("Elsewhere: ") + kGoneText});
    EXPECT_EQ(GlobalFindAtomA("Elsewhere"), 0);

    // The main program got nothing before this hand-over, which it takes
    // after anything posted earlier.
    EXPECT_EQ(InvokeOffset(m_object.Get(), 3 - elsewhere), S_OK);
    ExpectHandedOver("Tools");
    int handOvers = 0;
    for (const driver::StandInRecord& record : m_lintel.Records())
        handOvers += record.event == "addbutton";
    EXPECT_EQ(handOvers, 1);
}

TEST_F(ToolbarMenuTest, WithoutTheMainProgramTheCommandFailsQuietlyAndLeavesNoAtom)
{
    ASSERT_TRUE(m_lintel.Start(m_folder, false, {"Orphan"}));
    ASSERT_TRUE(SUCCEEDED(Query()));
    std::vector<std::string> boxes;
    EXPECT_EQ(InvokeAnsweringBoxes(0, boxes), E_FAIL);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(GlobalFindAtomA("Orphan"), 0);
}
