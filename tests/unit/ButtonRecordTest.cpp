// Stored button records: the bytes of every kind in every file version, the
// storage form with its icon and recent-documents streams, and records that
// are cut short or damaged.
#include "ButtonTestSupport.h"
#include "MemoryStream.h"
#include "buttons/FolderButton.h"
#include "buttons/GroupButton.h"
#include "buttons/UrlButton.h"

#include <cstddef>
#include <cstring>
#include <iterator>

using button_test::MemoryStorage;
using testing_support::MemoryStream;

namespace {

using Bytes = std::vector<unsigned char>;

// The record layouts written out field by field, as the file format has them.
class Expected
{
public:
    Expected& Long(DWORD value)
    {
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.push_back(static_cast<unsigned char>(value >> shift));
        return *this;
    }
    Expected& Text(const char* text)
    {
        const size_t length = std::strlen(text);
        const size_t count = length ? length + 1 : 0;
        m_bytes.push_back(static_cast<unsigned char>(count & 0xFF));
        m_bytes.push_back(static_cast<unsigned char>(count >> 8));
        m_bytes.insert(m_bytes.end(), text, text + count);
        return *this;
    }
    Expected& Ids(const CItemId& ids)
    {
        const UINT length = ids.Length();
        m_bytes.push_back(static_cast<unsigned char>(length & 0xFF));
        m_bytes.push_back(static_cast<unsigned char>(length >> 8));
        const auto* list = reinterpret_cast<const unsigned char*>(ids.List());
        m_bytes.insert(m_bytes.end(), list, list + length);
        return *this;
    }
    const Bytes& Get() const { return m_bytes; }

private:
    Bytes m_bytes;
};

// Distinct values for every stored field.
struct Values {
    const char* description = "Stored description";
    const char* parameters = "-one -two";
    const char* startIn = "C:\\start here";
    const char* iconFile = "C:\\icons\\chosen.ico";
    int iconIndex = -7;
    int showState = kShowMaximized;
    DWORD desktopX = 0x00010002;
    DWORD desktopY = 5;
};

Bytes ExpectedRecord(const CFileButton& button, DWORD version, const Values& v)
{
    Expected record;
    const DWORD kind = button.Kind();
    record.Long(kind == kKindFolder && version < 0x20000 ? kKindProgram : kind);
    record.Text(button.FileName().c_str());
    if (version > 0x20000)
        record.Ids(button.FolderId()).Ids(button.ItemId()).Long(1);
    auto icon = [&] { record.Long(0).Text(v.iconFile).Long(static_cast<DWORD>(v.iconIndex)); };
    switch (kind) {
    case kKindProgram:
        if (version > 0x11000)
            record.Text(v.parameters);
        record.Text(v.startIn).Text(v.description);
        if (version >= 0x11000)
            icon();
        record.Long(1).Long(1).Long(static_cast<DWORD>(v.showState));
        break;
    case kKindFolder:
        if (version <= 0x11000)
            record.Text("");
        record.Text(v.description);
        if (version >= 0x11000)
            icon();
        record.Long(1).Long(static_cast<DWORD>(v.showState));
        break;
    case kKindGroup:
        record.Text(v.description);
        if (version >= 0x11000)
            icon();
        record.Long(1).Long(static_cast<DWORD>(v.showState)).Long(1);
        break;
    case kKindUrl:
        record.Text(v.description);
        icon();
        record.Long(static_cast<DWORD>(v.showState));
        break;
    default:
        break;
    }
    if (version >= 0x23000)
        record.Long(0).Long(v.desktopX).Long(v.desktopY);
    return record.Get();
}

const DWORD kVersions[] = {0x10000, 0x11000, 0x20000, 0x23000};
const ButtonKind kKinds[] = {kKindProgram, kKindFolder, kKindGroup, kKindUrl};

} // namespace

class ButtonRecordTest : public ButtonTest
{
protected:
    void SetUp() override
    {
        ButtonTest::SetUp();
        m_program = button_test::CopyEchoProgram(m_folder, "stored.exe");
        ASSERT_FALSE(m_program.empty());
    }

    // A button of the kind whose every stored field differs from its default.
    std::unique_ptr<CFileButton> Filled(ButtonKind kind, const Values& v = Values())
    {
        auto button = NewButton(kind);
        button->SetFile(m_program.c_str());
        button->SetDescription(v.description);
        button->SetDefaultIcon(FALSE);
        button->SetIconFile(v.iconFile);
        button->SetIconIndex(v.iconIndex);
        button->SetAllowDrops(TRUE);
        button->SetShowState(v.showState);
        button->SetUseCurrentDesktop(FALSE);
        button->SetDesktop(v.desktopX, v.desktopY);
        if (auto* program = dynamic_cast<CExecButton*>(button.get())) {
            program->SetParameters(v.parameters);
            program->SetStartIn(v.startIn);
            program->SetConvertTo83(TRUE);
        }
        if (auto* group = dynamic_cast<CGroupButton*>(button.get()))
            group->SetStartEvery(TRUE);
        return button;
    }

    std::string m_program;
};

TEST_F(ButtonRecordTest, EveryKindWritesItsLayoutInEveryVersion)
{
    const Values v;
    for (ButtonKind kind : kKinds) {
        auto button = Filled(kind);
        ASSERT_FALSE(button->ItemId().IsDesktop()) << "the program file gives identifiers";
        for (DWORD version : kVersions) {
            SCOPED_TRACE(::testing::Message() << "kind " << kind << " version " << std::hex << version);
            MemoryStream stream;
            ASSERT_TRUE(button->Write(stream.Get(), version));
            EXPECT_EQ(stream.Bytes(), ExpectedRecord(*button, version, v));
        }
    }
}

TEST_F(ButtonRecordTest, RecordsReadBackEveryStoredField)
{
    const Values v;
    for (ButtonKind kind : kKinds) {
        auto written = Filled(kind);
        for (DWORD version : kVersions) {
            SCOPED_TRACE(::testing::Message() << "kind " << kind << " version " << std::hex << version);
            MemoryStream stream;
            ASSERT_TRUE(written->Write(stream.Get(), version));
            const ULONGLONG size = stream.Bytes().size();
            DWORD storedKind = 0;
            ULONG got = 0;
            stream.Get()->Read(&storedKind, sizeof storedKind, &got);
            // The old format keeps only program buttons: a folder comes back
            // as a program button, as the toolbar file code makes it.
            const bool oldFolder = kind == kKindFolder && version < 0x20000;
            ASSERT_EQ(storedKind, static_cast<DWORD>(oldFolder ? kKindProgram : kind));
            auto read = NewButton(static_cast<ButtonKind>(storedKind), version);
            ASSERT_TRUE(read->Read(stream.Get(), version, 0));
            EXPECT_EQ(stream.Position(), size) << "the whole record is read, and nothing more";

            EXPECT_STREQ(read->FileName().c_str(), m_program.c_str());
            EXPECT_STREQ(read->Description().c_str(), v.description);
            // Older records store no identifiers; they come from the file name.
            EXPECT_EQ(button_test::PathOfTarget(*read), m_program);
            if (version > 0x20000) {
                EXPECT_EQ(read->FolderId().Compare(written->FolderId()), 0);
                EXPECT_EQ(read->ItemId().Compare(written->ItemId()), 0);
            }
            EXPECT_TRUE(read->IsFileSystem());
            if (version >= 0x11000) {
                EXPECT_FALSE(read->IsDefaultIcon());
                EXPECT_STREQ(read->IconFile().c_str(), v.iconFile);
                EXPECT_EQ(read->IconIndex(), v.iconIndex);
            } else if (kind != kKindUrl) {
                EXPECT_TRUE(read->IsDefaultIcon());
                EXPECT_STREQ(read->IconFile().c_str(), m_program.c_str());
            }
            EXPECT_EQ(read->AllowsDrops(), kind == kKindUrl ? FALSE : TRUE);
            EXPECT_EQ(read->GetShowState(), v.showState);
            EXPECT_EQ(read->UseCurrentDesktop(), version >= 0x23000 ? FALSE : TRUE);
            EXPECT_EQ(read->DesktopX(), version >= 0x23000 ? v.desktopX : 0u);
            EXPECT_EQ(read->DesktopY(), version >= 0x23000 ? v.desktopY : 0u);
            if (auto* program = dynamic_cast<CExecButton*>(read.get())) {
                const bool fromProgram = !oldFolder;
                EXPECT_STREQ(program->Parameters().c_str(), fromProgram && version > 0x11000 ? v.parameters : "");
                EXPECT_STREQ(program->StartIn().c_str(), fromProgram ? v.startIn : "");
                EXPECT_EQ(program->ConvertTo83(), fromProgram ? TRUE : FALSE);
            }
            if (auto* group = dynamic_cast<CGroupButton*>(read.get())) {
                EXPECT_TRUE(group->StartsEvery());
            }
            EXPECT_FALSE(read->IsModified());
        }
    }
}

TEST_F(ButtonRecordTest, StorageFormKeepsIconsAndTheRecentDocuments)
{
    auto* original = AddProgramButton(m_program);
    ASSERT_NE(original, nullptr);
    ASSERT_GE(original->ImageIndex(), 2) << "entries 0 and 1 are the overlays";

    // A stored list of two recent documents, the older one first.
    const Bytes recent = {2, 0, 0, 0, 6, 0, 'a', '.', 't', 'x', 't', 0, 4, 0, 'b', '.', 'c', 0};
    MemoryStorage first;
    ASSERT_TRUE(original->Write2(first.Get(), 0x23000));
    EXPECT_FALSE(first.HasStream(L"RECENT")) << "no list, no stream";
    ASSERT_TRUE(first.PutStream(L"RECENT", recent));

    // An icon stream: hotspot, then the mask and colour bitmaps.
    const Bytes normal = first.StreamBytes(L"NORMAL");
    ASSERT_GT(normal.size(), 8u + 2 * sizeof(BITMAPINFOHEADER));
    LONG hotspot[2]{};
    std::memcpy(hotspot, normal.data(), sizeof hotspot);
    EXPECT_EQ(hotspot[0], 16);
    EXPECT_EQ(hotspot[1], 16);
    BITMAPINFOHEADER mask{};
    std::memcpy(&mask, normal.data() + 8, sizeof mask);
    EXPECT_EQ(mask.biWidth, 32);
    EXPECT_EQ(mask.biBitCount, 1);

    struct Case {
        int mode;
        bool keepsRecent;
    };
    for (const Case entry : {Case{3, true}, Case{1, false}}) {
        SCOPED_TRACE(entry.mode);
        auto read = NewButton(kKindProgram);
        ASSERT_TRUE(read->Read2(first.Get(), 0x23000, entry.mode));
        auto* program = static_cast<CExecButton*>(read.get());
        const CRecentList& documents = program->RecentDocuments();
        ASSERT_EQ(documents.Count(), entry.keepsRecent ? 2 : 0);
        if (entry.keepsRecent) {
            CText newest;
            documents.GetEntry(0, newest);
            EXPECT_STREQ(newest.c_str(), "b.c");
        }
        ASSERT_GE(read->ImageIndex(), 2);
        const int sizes[3] = {16, 32, 48};
        for (int sizeIndex = 0; sizeIndex < 3; ++sizeIndex) {
            const int pixels = sizes[sizeIndex];
            HIMAGELIST list = m_toolbar->ImageList(sizeIndex);
            EXPECT_EQ(button_test::IconPixels(list, read->ImageIndex(), pixels),
                      button_test::IconPixels(list, original->ImageIndex(), pixels))
                << "size " << pixels;
        }

        MemoryStorage second;
        ASSERT_TRUE(read->Write2(second.Get(), 0x23000));
        EXPECT_EQ(second.StreamBytes(L"RECENT"), entry.keepsRecent ? recent : Bytes());
        EXPECT_EQ(second.StreamBytes(L"DATA"), first.StreamBytes(L"DATA"));
        for (const wchar_t* name : {L"LARGE", L"NORMAL", L"SMALL"})
            EXPECT_TRUE(second.HasStream(name));
    }

    // A list whose count runs far past its entries still gives the button
    // and the entries that are whole.
    Bytes hostile = recent;
    hostile[0] = hostile[1] = hostile[2] = hostile[3] = 0xff;
    hostile.resize(hostile.size() - 2);
    ASSERT_TRUE(first.PutStream(L"RECENT", hostile));
    auto read = NewButton(kKindProgram);
    ASSERT_TRUE(read->Read2(first.Get(), 0x23000, 3));
    EXPECT_EQ(static_cast<CExecButton*>(read.get())->RecentDocuments().Count(), 1);
}

TEST_F(ButtonRecordTest, MissingIconStreamFallsBackToTheTargetAndKeepsTheListsInStep)
{
    auto* original = AddProgramButton(m_program);
    ASSERT_NE(original, nullptr);
    MemoryStorage stored;
    ASSERT_TRUE(original->Write2(stored.Get(), 0x23000));
    // Only the small icon is lost.
    MemoryStorage damaged;
    ASSERT_TRUE(damaged.PutStream(L"DATA", stored.StreamBytes(L"DATA")));
    ASSERT_TRUE(damaged.PutStream(L"LARGE", stored.StreamBytes(L"LARGE")));
    ASSERT_TRUE(damaged.PutStream(L"NORMAL", stored.StreamBytes(L"NORMAL")));

    int before[3];
    for (int i = 0; i < 3; ++i)
        before[i] = ImageList_GetImageCount(m_toolbar->ImageList(i));
    auto read = NewButton(kKindProgram);
    ASSERT_TRUE(read->Read2(damaged.Get(), 0x23000, 1));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ImageList_GetImageCount(m_toolbar->ImageList(i)), before[i] + 1);
    }
    EXPECT_EQ(read->ImageIndex(), before[1]);
}

TEST_F(ButtonRecordTest, ButtonWithoutAnIconStillSaves)
{
    // A target the shell cannot find gives no icon at all.
    auto button = NewButton(kKindProgram);
    button->SetFile((m_folder + "\\gone.exe").c_str());
    ASSERT_LT(button->ImageIndex(), 0);
    MemoryStorage stored;
    ASSERT_TRUE(button->Write2(stored.Get(), 0x23000));
    EXPECT_TRUE(stored.HasStream(L"DATA"));
    EXPECT_FALSE(stored.HasStream(L"NORMAL"));
}

TEST_F(ButtonRecordTest, CutOrDamagedRecordsFailCleanly)
{
    for (ButtonKind kind : kKinds) {
        auto written = Filled(kind);
        for (DWORD version : {DWORD{0x11000}, DWORD{0x23000}}) {
            SCOPED_TRACE(::testing::Message() << "kind " << kind << " version " << std::hex << version);
            MemoryStream full;
            ASSERT_TRUE(written->Write(full.Get(), version));
            const Bytes bytes = full.Bytes();
            const DWORD storedKind = bytes[0];
            for (size_t length = 4; length < bytes.size(); ++length) {
                MemoryStream cut(Bytes(bytes.begin() + 4, bytes.begin() + static_cast<std::ptrdiff_t>(length)));
                auto read = NewButton(static_cast<ButtonKind>(storedKind), version);
                // An old program record one field short is an old folder record.
                const bool folderLayout = kind == kKindProgram && version < 0x20000 && length == bytes.size() - 4;
                EXPECT_EQ(read->Read(cut.Get(), version, 0), folderLayout ? TRUE : FALSE) << "length " << length;
            }
        }
    }

    // Counts that promise more than the record holds.
    const Bytes hostile[] = {
        {0xFF, 0xFF, 'a', 'b'},                       // a file name of 65534 characters
        {0x02, 0x00, 0x00, 0x00, 0xFF, 0xFF, 1, 2},   // an empty name, a list of 65535 bytes
        {0x00, 0x00, 0x06, 0x00, 0x09, 0x00, 1, 2, 0, 0},   // an item longer than its list
    };
    for (size_t i = 0; i < std::size(hostile); ++i) {
        SCOPED_TRACE(i);
        MemoryStream stream(hostile[i]);
        auto read = NewButton(kKindProgram);
        EXPECT_FALSE(read->Read(stream.Get(), 0x23000, 0));
    }

    // The toolbar keeps a button whose record is damaged, drawn as broken.
    MemoryStorage damaged;
    ASSERT_TRUE(damaged.PutStream(L"DATA", {2, 0, 0, 0, 0xFF, 0xFF}));
    auto* button = new CExecButton(m_toolbar, m_app.get(), nullptr);
    EXPECT_TRUE(button->Create(damaged.Get(), Data(), 3));
    EXPECT_FALSE(button->IsTargetOk());
    EXPECT_NE(button->Handle(), nullptr);
    ASSERT_TRUE(InsertButton(m_toolbar, button));
}

TEST_F(ButtonRecordTest, OutOfRangeValuesReadAsDefaults)
{
    auto written = Filled(kKindProgram);
    MemoryStream stream;
    ASSERT_TRUE(written->Write(stream.Get(), 0x23000));
    Bytes bytes = stream.Bytes();
    // The last six values: 8.3, drops, show state, current desktop, x, y.
    const size_t show = bytes.size() - 16;
    const DWORD bad[] = {7, 9, 3, 0x55};
    std::memcpy(&bytes[show - 8], &bad[0], 4);
    std::memcpy(&bytes[show - 4], &bad[1], 4);
    std::memcpy(&bytes[show], &bad[2], 4);
    std::memcpy(&bytes[show + 4], &bad[3], 4);
    MemoryStream changed(Bytes(bytes.begin() + 4, bytes.end()));
    auto read = NewButton(kKindProgram);
    ASSERT_TRUE(read->Read(changed.Get(), 0x23000, 0));
    auto* program = static_cast<CExecButton*>(read.get());
    EXPECT_EQ(program->ConvertTo83(), TRUE);
    EXPECT_EQ(read->AllowsDrops(), TRUE);
    EXPECT_EQ(read->GetShowState(), kShowNormal);
    EXPECT_EQ(read->UseCurrentDesktop(), TRUE);
}
