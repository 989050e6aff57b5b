#include "MemoryStream.h"
#include "TestSupport.h"
#include "common/Error.h"
#include "common/IdListArray.h"
#include "common/ItemId.h"
#include "common/ShellFolder.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using testing_support::MemoryStream;

// A list made of items with the given data bytes.
Bytes ListOf(std::initializer_list<std::string> items)
{
    Bytes list;
    for (const std::string& item : items) {
        const size_t count = item.size() + 2;
        list.push_back(static_cast<unsigned char>(count & 0xFF));
        list.push_back(static_cast<unsigned char>(count >> 8));
        list.insert(list.end(), item.begin(), item.end());
    }
    list.push_back(0);
    list.push_back(0);
    return list;
}

LPCITEMIDLIST AsList(const Bytes& bytes)
{
    return reinterpret_cast<LPCITEMIDLIST>(bytes.data());
}

Bytes BytesOf(const CItemId& item)
{
    const auto* start = reinterpret_cast<const unsigned char*>(item.List());
    return start ? Bytes(start, start + item.Length()) : Bytes();
}

Bytes Concat(Bytes first, const Bytes& second)
{
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

} // namespace

TEST(ItemId, DesktopListIsTheTerminatorAlone)
{
    CItemId desktop;
    EXPECT_EQ(desktop.Length(), 2u);
    EXPECT_TRUE(desktop.IsDesktop());
    EXPECT_EQ(BytesOf(desktop), Bytes({0, 0}));

    CItemId shellDesktop(CSIDL_DESKTOP);
    EXPECT_EQ(shellDesktop.Length(), 2u);
    EXPECT_TRUE(shellDesktop.IsDesktop());

    CItemId none;
    none.Free();
    EXPECT_EQ(none.Length(), 0u);
    EXPECT_TRUE(none.IsDesktop());
    LPITEMIDLIST handedOut = reinterpret_cast<LPITEMIDLIST>(&none);
    EXPECT_FALSE(none.Get(&handedOut));
    EXPECT_EQ(handedOut, nullptr);

    const Bytes one = ListOf({"abc"});
    CItemId item(AsList(one));
    EXPECT_EQ(item.Length(), 7u);
    EXPECT_FALSE(item.IsDesktop());
    EXPECT_EQ(desktop.Length(AsList(one)), 7u);
    ASSERT_TRUE(item.Get(&handedOut));
    EXPECT_EQ(handedOut, item.List());

    // Setting from nothing leaves the list as it was.
    EXPECT_FALSE(item.Set(static_cast<LPCITEMIDLIST>(nullptr)));
    EXPECT_FALSE(item.Set(none));
    EXPECT_EQ(BytesOf(item), one);
}

TEST(ItemId, WriteThenReadGivesTheSameBytes)
{
    const Bytes lists[] = {
        ListOf({}),                                       // the desktop
        ListOf({"abc"}),
        ListOf({"first", std::string("\0\x01\xff", 3), "x"}),   // zeros inside an item are data
        ListOf({std::string(300, 'w'), "tail"}),          // a length above 255 uses both bytes
    };
    for (size_t i = 0; i < std::size(lists); ++i) {
        SCOPED_TRACE(i);
        const Bytes& list = lists[i];
        CItemId written(AsList(list));
        MemoryStream stream;
        ASSERT_TRUE(written.Write(stream.Get()));
        const Bytes lengthField = {static_cast<unsigned char>(list.size() & 0xFF),
                                   static_cast<unsigned char>(list.size() >> 8)};
        EXPECT_EQ(stream.Bytes(), Concat(lengthField, list));

        CItemId read(AsList(ListOf({"previous"})));
        ASSERT_TRUE(read.Read(stream.Get()));
        EXPECT_EQ(BytesOf(read), list);
        EXPECT_EQ(read.Compare(written), 0);
        EXPECT_EQ(stream.Position(), 2 + list.size());
    }

    CItemId none;
    none.Free();
    MemoryStream stream;
    EXPECT_FALSE(none.Write(stream.Get()));
    EXPECT_TRUE(stream.Bytes().empty());
}

TEST(ItemId, ReadRejectsStreamsThatAreNotOneList)
{
    const std::vector<Bytes> streams = {
        {},                                           // no length
        {0x05},                                       // half a length
        {0x00, 0x00},                                 // length 0
        {0x01, 0x00, 0x00},                           // length 1: not even a terminator
        {0x06, 0x00, 0x00, 0x00, 0x04, 0x00, 'a', 'b'},   // terminator before the stated end
        {0x07, 0x00, 0x04, 0x00, 'a', 'b', 0x00, 0x00, 0x00},   // a byte left after the terminator
        {0x03, 0x00, 0x01, 0x00, 0x00},               // an item count of 1, walking to a terminator
        {0x06, 0x00, 0x09, 0x00, 'a', 'b', 0x00, 0x00},   // an item running past the end
        {0x06, 0x00, 0x04, 0x00, 'a', 0xFF, 0xFF},    // the last count runs past the end
        {0x08, 0x00, 0x04, 0x00, 'a', 'b', 0x00},     // stream shorter than the length
        {0xFF, 0xFF, 0x04, 0x00, 'a', 'b', 0x00, 0x00},   // the largest length, little behind it
    };
    const Bytes kept = ListOf({"keep", "me"});
    for (size_t i = 0; i < streams.size(); ++i) {
        SCOPED_TRACE(i);
        MemoryStream stream(streams[i]);
        CItemId item(AsList(kept));
        EXPECT_FALSE(item.Read(stream.Get()));
        EXPECT_EQ(BytesOf(item), kept);
    }
}

TEST(ItemId, ReadTracesItsOutcome)
{
    testing_support::ScopedTrace trace("lintel-trace-itemid.txt");
    CItemId item;
    MemoryStream good(Concat({0x05, 0x00}, ListOf({"a"})));
    MemoryStream empty(Bytes{0x00, 0x00});
    MemoryStream bad(Bytes{0x05, 0x00, 0x01});
    EXPECT_TRUE(item.Read(good.Get()));
    EXPECT_FALSE(item.Read(empty.Get()));
    EXPECT_FALSE(item.Read(bad.Get()));

    const auto lines = driver::ReadTraceLines(trace.Path());
    for (const char* line : {" > CItemId::Read", " HR=00000000", " < CItemId::Read OK", " < CItemId::Read empty",
                             " < CItemId::Read failed"})
        EXPECT_TRUE(driver::HasLine(lines, line)) << line;
}

TEST(ItemId, SplitMovesTheFinalItemOut)
{
    struct Case {
        Bytes list;
        BOOL want;
        Bytes wantRest;
        Bytes wantLast;
    };
    const Case cases[] = {
        {ListOf({"one", "two", "three"}), TRUE, ListOf({"one", "two"}), ListOf({"three"})},
        {ListOf({"only"}), FALSE, ListOf({}), ListOf({"only"})},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        CItemId item(AsList(cases[i].list));
        CItemId last(AsList(ListOf({"previous"})));
        EXPECT_EQ(item.Split(&last), cases[i].want);
        EXPECT_EQ(BytesOf(item), cases[i].wantRest);
        EXPECT_EQ(BytesOf(last), cases[i].wantLast);

        // Joining the parts again gives the list back.
        item += last;
        EXPECT_EQ(BytesOf(item), cases[i].list);
    }
}

TEST(ItemId, SplitWithoutListsRaises)
{
    CItemId none;
    none.Free();
    CItemId item(AsList(ListOf({"a", "b"})));
    CItemId last;
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        try {
            if (i == 0)
                none.Split(&last);
            else
                item.Split(nullptr);
            ADD_FAILURE() << "no error raised";
        } catch (const CError& error) {
            EXPECT_STREQ(error.Text(), "Split: Invalid id lists");
        }
    }
    EXPECT_EQ(BytesOf(item), ListOf({"a", "b"}));
}

TEST(ItemId, CompareOrdersByBytesThenLength)
{
    struct Case {
        Bytes a;
        Bytes b;
        short want;
    };
    const Case cases[] = {
        {ListOf({"abc", "de"}), ListOf({"abc", "de"}), 0},
        {ListOf({"abc"}), ListOf({"abc", "de"}), -1},   // a list is less than any longer one it begins
        {ListOf({"abc", "de"}), ListOf({"abc"}), 1},
        {ListOf({}), ListOf({"abc"}), -1},
        {ListOf({"abc"}), ListOf({"abd"}), -1},
        {ListOf({"\xff"}), ListOf({"\x01"}), 1},         // bytes compare unsigned
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        CItemId a(AsList(cases[i].a));
        CItemId b(AsList(cases[i].b));
        EXPECT_EQ(a.Compare(b), cases[i].want);
    }
    CItemId none;
    none.Free();
    CItemId some(AsList(ListOf({"abc"})));
    EXPECT_EQ(none.Compare(some), 0);
    EXPECT_EQ(some.Compare(none), 0);
}

namespace {

// "Shell IDList Array" data in global memory of exactly the given bytes.
class GlobalBlock
{
public:
    explicit GlobalBlock(const Bytes& bytes)
        : m_memory(GlobalAlloc(GMEM_MOVEABLE, bytes.empty() ? 1 : bytes.size()))
    {
        if (!m_memory)
            return;
        if (void* data = GlobalLock(m_memory)) {
            std::memcpy(data, bytes.data(), bytes.size());
            GlobalUnlock(m_memory);
        }
    }
    ~GlobalBlock()
    {
        if (m_memory)
            GlobalFree(m_memory);
    }
    GlobalBlock(const GlobalBlock&) = delete;
    GlobalBlock& operator=(const GlobalBlock&) = delete;
    HGLOBAL Get() const { return m_memory; }

private:
    HGLOBAL m_memory;
};

void PutDword(Bytes& bytes, DWORD value)
{
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<unsigned char>(value >> shift));
}

// A count, the offsets as given, then the lists' bytes.
Bytes IdListArray(DWORD count, const std::vector<DWORD>& offsets, const Bytes& lists)
{
    Bytes block;
    PutDword(block, count);
    for (DWORD offset : offsets)
        PutDword(block, offset);
    return Concat(block, lists);
}

} // namespace

TEST(IdListArray, HandsOutTheFolderAndItsItems)
{
    const Bytes folder = ListOf({"root", "dir"});
    const Bytes first = ListOf({"a"});
    const Bytes second = ListOf({"bb"});
    const DWORD start = 4 + 3 * 4;
    const DWORD firstAt = start + static_cast<DWORD>(folder.size());
    const DWORD secondAt = firstAt + static_cast<DWORD>(first.size());
    GlobalBlock block(IdListArray(2, {start, firstAt, secondAt}, Concat(Concat(folder, first), second)));

    CIdListArray array(block.Get());
    EXPECT_EQ(array.Count(), 2u);
    ASSERT_NE(array.Folder(), nullptr);
    const Bytes want[] = {folder, first, second};
    for (UINT index = 0; index < 3; ++index) {
        SCOPED_TRACE(index);
        CItemId item;
        ASSERT_TRUE(array.GetItem(index, item));
        EXPECT_EQ(BytesOf(item), want[index]);
    }
    CItemId beyond(AsList(ListOf({"kept"})));
    EXPECT_FALSE(array.GetItem(3, beyond));
    EXPECT_EQ(BytesOf(beyond), ListOf({"kept"}));
}

TEST(IdListArray, BadCountsOffsetsAndListsFailCleanly)
{
    const Bytes folder = ListOf({"r"});   // 5 bytes
    struct Case {
        const char* what;
        Bytes block;
        bool wantFolder;
        bool wantItem;
    };
    const DWORD start = 12;   // count and two offsets
    const DWORD itemAt = start + 5;
    const Case cases[] = {
        {"too small for a count", {0x01, 0x00}, false, false},
        {"count of all ones", IdListArray(0xFFFFFFFF, {start, itemAt}, Concat(folder, ListOf({"a"}))), false, false},
        {"count promises more offsets than there is room for", IdListArray(5, {start, itemAt}, folder), false,
         false},
        {"item offset far outside", IdListArray(1, {start, 0x7FFFFFF0}, folder), true, false},
        {"item offset at the very end", IdListArray(1, {start, itemAt}, folder), true, false},
        {"folder offset outside, item good", IdListArray(1, {0xFFFFFFFC, itemAt}, Concat(folder, ListOf({"a"}))),
         false, true},
        {"item without terminator", IdListArray(1, {start, itemAt}, Concat(folder, {0x03, 0x00, 'a'})), true, false},
        {"item count running past the end", IdListArray(1, {start, itemAt}, Concat(folder, {0x10, 0x00, 'a', 0, 0})),
         true, false},
        {"item count of 1", IdListArray(1, {start, itemAt}, Concat(folder, {0x01, 0x00, 0x00, 0x00})), true, false},
        {"terminator cut in half", IdListArray(1, {start, itemAt}, Concat(folder, {0x03, 0x00, 'a', 0x00})), true,
         false},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.what);
        GlobalBlock block(entry.block);
        ASSERT_EQ(GlobalSize(block.Get()), entry.block.size());   // nothing beyond the bytes given
        CIdListArray array(block.Get());
        CItemId item;
        EXPECT_EQ(array.GetItem(0, item) != FALSE, entry.wantFolder);
        EXPECT_EQ(array.Folder() != nullptr, entry.wantFolder);
        EXPECT_EQ(array.GetItem(1, item) != FALSE, entry.wantItem);
        EXPECT_FALSE(array.GetItem(2, item));
    }

    CIdListArray none(nullptr);
    CItemId item;
    EXPECT_EQ(none.Count(), 0u);
    EXPECT_FALSE(none.GetItem(0, item));
}

namespace {

class ShellFolderTest : public ::testing::Test
{
protected:
    void SetUp() override { m_folder = driver::MakeTempFolder("shell-items"); }

    std::string FileIn(const char* name)
    {
        const std::string path = m_folder + "\\" + name;
        driver::WriteTextFile(path, name);
        return path;
    }

    static std::string Lower(std::string text)
    {
        std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
        return text;
    }

    testing_support::ComScope m_com;
    std::string m_folder;
};

} // namespace

TEST_F(ShellFolderTest, FileParsedByTheDesktopGivesItsPathBack)
{
    const std::string path = FileIn("note.txt");
    CItemId file;
    ASSERT_TRUE(file.Set(CText(path.c_str())));
    EXPECT_FALSE(file.IsDesktop());

    CShellFolder desktop;
    ASSERT_TRUE(desktop.IsValid());
    CText name;
    ASSERT_TRUE(desktop.GetDisplayName(file, name));
    EXPECT_EQ(Lower(name.c_str()), Lower(path));

    // The same file seen from its own folder.
    CItemId parent(file);
    CItemId item;
    EXPECT_TRUE(parent.Split(&item));
    CShellFolder folder(parent);
    ASSERT_TRUE(folder.IsValid());
    ASSERT_TRUE(folder.GetDisplayName(item, name));
    EXPECT_EQ(Lower(name.c_str()), Lower(path));
    CItemId parsed;
    ASSERT_TRUE(folder.ParseDisplayName("note.txt", parsed));
    ASSERT_TRUE(folder.GetDisplayName(parsed, name));
    EXPECT_EQ(Lower(name.c_str()), Lower(path));

    EXPECT_TRUE(folder.IsAttrSet(item, SFGAO_FILESYSTEM));
    EXPECT_FALSE(folder.IsAttrSet(item, SFGAO_FOLDER));
    SHFILEINFOA info{};
    EXPECT_NE(folder.GetInfo(item, info, SHGFI_DISPLAYNAME), 0u);
    EXPECT_EQ(Lower(info.szDisplayName).rfind("note", 0), 0u) << info.szDisplayName;
    CComPtr<IContextMenu> menu;
    EXPECT_TRUE(folder.GetContextMenu(item, menu));

    // A name that names nothing leaves the list alone.
    EXPECT_FALSE(file.Set(CText((m_folder + "\\absent.txt").c_str())));
    ASSERT_TRUE(desktop.GetDisplayName(file, name));
    EXPECT_EQ(Lower(name.c_str()), Lower(path));
}

TEST_F(ShellFolderTest, EnumeratorListsTheFolderAndOutlivesIt)
{
    std::set<std::string> want;
    for (const char* name : {"one.txt", "two.dat", "three"})
        want.insert(Lower(FileIn(name)));

    CItemId folderId;
    ASSERT_TRUE(folderId.Set(CText(m_folder.c_str())));
    std::unique_ptr<CEnumIdList> enumerator;
    {
        CShellFolder folder(folderId);
        ASSERT_TRUE(folder.IsValid());
        ASSERT_TRUE(folder.EnumObjects(SHCONTF_FOLDERS | SHCONTF_NONFOLDERS, enumerator));
    }
    std::set<std::string> found;
    CItemId item;
    while (enumerator->Next(item)) {
        CText name;
        ASSERT_TRUE(enumerator->Folder().GetDisplayName(item, name));
        found.insert(Lower(name.c_str()));
    }
    EXPECT_EQ(found, want);
    EXPECT_FALSE(enumerator->Next(item));
}
