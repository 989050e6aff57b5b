// Toolbar files: the container, the toolbar record with its read checks,
// conversions between versions, and saving that never destroys a toolbar.
#include "driver/ToolbarFiles.h"
#include "ToolbarFixture.h"
#include "driver/Driver.h"

// Where fields of a record of version 0x23000 named "Stored" begin: the name
// (2 + 7 bytes), then six 32-bit fields, buttonsPerLine and the count; six
// 32-bit fields, the 16-bit border, four more and the two protection flags
// before the password.
constexpr size_t kCountEnd = 9 + 4 * 7 + 1;
constexpr size_t kPasswordOffset = kCountEnd + 4 * 6 + 2 + 4 * 4 + 4 * 2;

class ToolbarFileTest : public ToolbarTest
{
protected:
    // Reads a file into a new toolbar without a window.
    std::unique_ptr<CToolbar> ReadFile(const std::string& path, BOOL* read = nullptr)
    {
        auto toolbar = std::make_unique<CToolbar>(m_app.get(), nullptr, nullptr);
        const BOOL ok = toolbar->Open(path.c_str(), 2);
        if (read)
            *read = ok;
        return toolbar;
    }
};

TEST_F(ToolbarFileTest, ReadChecksReplaceBadValuesWithDefaults)
{
    struct Case {
        const char* name;
        void (*change)(RecordValues&);
        void (*check)(const CToolbar&);
    };
    const Case cases[] = {
        {"count 300", [](RecordValues& v) { v.count = 300; }, [](const CToolbar& t) { EXPECT_EQ(t.Count(), 0); }},
        {"count -1", [](RecordValues& v) { v.count = 0xFFFFFFFF; }, [](const CToolbar& t) { EXPECT_EQ(t.Count(), 0); }},
        {"perLine 0", [](RecordValues& v) { v.perLine = 0; }, [](const CToolbar& t) { EXPECT_EQ(t.Settings().buttonsPerLine, 1); }},
        {"perLine 17", [](RecordValues& v) { v.perLine = 17; }, [](const CToolbar& t) { EXPECT_EQ(t.Settings().buttonsPerLine, 1); }},
        {"perLine 16", [](RecordValues& v) { v.perLine = 16; }, [](const CToolbar& t) { EXPECT_EQ(t.Settings().buttonsPerLine, 16); }},
        {"border 9", [](RecordValues& v) { v.border = 9; }, [](const CToolbar& t) { EXPECT_EQ(t.Settings().border, 3); }},
        {"border 5", [](RecordValues& v) { v.border = 5; }, [](const CToolbar& t) { EXPECT_EQ(t.Settings().border, 5); }},
        {"buttonSize 3", [](RecordValues& v) { v.buttonSize = 3; }, [](const CToolbar& t) { EXPECT_EQ(t.ButtonSize(), 1); }},
        {"orientation 7", [](RecordValues& v) { v.orientation = 7; }, [](const CToolbar& t) { EXPECT_EQ(t.Settings().orientation, kVertical); }},
        {"docked 2", [](RecordValues& v) { v.docked = 2; }, [](const CToolbar& t) { EXPECT_FALSE(t.Settings().docked); }},
        {"autohide 5", [](RecordValues& v) { v.autohide = 5; }, [](const CToolbar& t) { EXPECT_TRUE(t.Settings().autohide); }},
        {"background 9", [](RecordValues& v) { v.showButtonBackground = 9; },
         [](const CToolbar& t) { EXPECT_TRUE(t.ShowButtonBackground()); }},
        {"level 0x80", [](RecordValues& v) { v.isProtected = 1; v.level = 0x80; },
         [](const CToolbar& t) { EXPECT_EQ(t.Settings().protection.level, 4u); }},
        {"quick unlock without password", [](RecordValues& v) { v.quickUnlock = 1; },
         [](const CToolbar& t) { EXPECT_FALSE(t.Settings().protection.quickUnlockOption); }},
        {"system colour", [](RecordValues& v) { v.startIsSystem = 1; },
         [](const CToolbar& t) { EXPECT_EQ(t.Settings().startColour, GetSysColor(COLOR_BTNFACE)); }},
    };
    const std::string path = TempPath("checks.ltl");
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        RecordValues values;
        entry.change(values);
        ASSERT_TRUE(WriteCompoundFile(path, FileWith(values, 0x23000)));
        BOOL read = FALSE;
        auto toolbar = ReadFile(path, &read);
        ASSERT_TRUE(read);
        entry.check(*toolbar);
    }
}

TEST_F(ToolbarFileTest, RecordEndingEarlyGivesTheMissingFieldsTheirFallbacks)
{
    // Values that differ from every fallback, so that each one shows.
    RecordValues values;
    values.startIsSystem = 1;
    values.endIsSystem = 1;
    values.buttonSize = 2;
    values.border = 1;
    values.showDescription = 1;
    values.showButtonBackground = 0;
    values.showMenuButtons = 0;
    values.passwordRequired = 1;
    values.password = "secret";
    values.quickUnlock = 1;
    values.level = 0x41;
    const struct {
        size_t length;
        int buttonSize, border;
        BOOL showDescription, showButtonBackground, showMenuButtons, autohide;
        DWORD level;
    } cases[] = {
        {kCountEnd, 1, 3, FALSE, TRUE, TRUE, TRUE, kProtectDrag},               // nothing after the count
        {kCountEnd + 25, 2, 3, FALSE, TRUE, TRUE, TRUE, kProtectDrag},          // inside the border
        {kPasswordOffset + 9, 2, 1, TRUE, FALSE, FALSE, FALSE, kProtectDrag},   // after the password
        {kPasswordOffset + 13, 2, 1, TRUE, FALSE, FALSE, FALSE, 0x41},          // after the level
    };
    const std::string path = TempPath("ends-early.ltl");
    for (const auto& entry : cases) {
        SCOPED_TRACE(entry.length);
        CompoundContent content = FileWith(values, 0x23000);
        content.streams[L"TOOLBAR"].resize(entry.length);
        ASSERT_TRUE(WriteCompoundFile(path, content));
        BOOL read = FALSE;
        auto toolbar = ReadFile(path, &read);
        ASSERT_TRUE(read);
        const ToolbarSettings& settings = toolbar->Settings();
        EXPECT_EQ(settings.buttonSize, entry.buttonSize);
        EXPECT_EQ(settings.border, entry.border);
        EXPECT_EQ(settings.showDescription, entry.showDescription);
        EXPECT_EQ(settings.showButtonBackground, entry.showButtonBackground);
        EXPECT_EQ(settings.showMenuButtons, entry.showMenuButtons);
        EXPECT_EQ(settings.autohide, entry.autohide);
        EXPECT_FALSE(settings.protection.quickUnlockOption);
        EXPECT_EQ(settings.protection.level, entry.level);
        if (entry.length == kCountEnd) {
            // A colour flag that cannot be read means the toolbar's own colour.
            EXPECT_FALSE(settings.startIsSystem);
            EXPECT_EQ(settings.startColour, 0u);
        } else {
            EXPECT_EQ(settings.startColour, GetSysColor(COLOR_BTNFACE));
        }
    }
}

TEST_F(ToolbarFileTest, VersionDecidesWhatTheFileHolds)
{
    const std::string path = TempPath("versions.ltl");
    RecordValues values;
    values.isProtected = 1;
    values.level = 0x41;
    values.showDescription = 1;

    // No version stream: the oldest format, without the appearance fields.
    CompoundContent oldest = FileWith(values, 0x10000);
    ASSERT_TRUE(WriteCompoundFile(path, oldest));
    auto toolbar = ReadFile(path);
    EXPECT_EQ(toolbar->Version(), 0x10000u);
    EXPECT_FALSE(toolbar->ShowDescription());

    // An empty version stream is a current file.
    CompoundContent empty = FileWith(values, 0x23000);
    empty.streams[L"VERSION"].clear();
    ASSERT_TRUE(WriteCompoundFile(path, empty));
    toolbar = ReadFile(path);
    EXPECT_EQ(toolbar->Version(), 0x23000u);
    EXPECT_TRUE(toolbar->IsRestricted(kProtectAdd));

    // 0x21000 has the appearance fields but no protection.
    ASSERT_TRUE(WriteCompoundFile(path, FileWith(values, 0x21000)));
    toolbar = ReadFile(path);
    EXPECT_EQ(toolbar->Version(), 0x21000u);
    EXPECT_TRUE(toolbar->ShowDescription());
    EXPECT_FALSE(toolbar->IsRestricted(0));
}

TEST_F(ToolbarFileTest, UnreadableRecordsFailTheRead)
{
    const std::string path = TempPath("unreadable.ltl");
    struct Case {
        const char* name;
        CompoundContent content;
    };
    RecordValues locked;
    locked.isProtected = 1;
    locked.passwordRequired = 1;   // with an empty password
    CompoundContent noToolbar = FileWith(RecordValues{}, 0x23000);
    noToolbar.streams.erase(L"TOOLBAR");
    CompoundContent shortRecord = FileWith(RecordValues{}, 0x23000);
    shortRecord.streams[L"TOOLBAR"].resize(12);   // ends before the count
    RecordValues secret = locked;
    secret.password = "secret";
    CompoundContent cutPassword = FileWith(secret, 0x23000);
    cutPassword.streams[L"TOOLBAR"].resize(kPasswordOffset + 4);   // ends inside the password
    const Case cases[] = {
        {"no TOOLBAR stream", noToolbar},
        {"record ends before the count", shortRecord},
        {"password required but empty", FileWith(locked, 0x23000)},
        {"required password cut short", cutPassword},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        ASSERT_TRUE(WriteCompoundFile(path, entry.content));
        BOOL read = TRUE;
        auto toolbar = ReadFile(path, &read);
        EXPECT_FALSE(read);
        EXPECT_TRUE(toolbar->FileName().IsEmpty());
        EXPECT_TRUE(toolbar->ReadFailed());
    }
    BOOL read = TRUE;
    ReadFile(TempPath("no-such-file.ltl"), &read);
    EXPECT_FALSE(read);
}

TEST_F(ToolbarFileTest, OldestFilesKeepEveryButtonWhateverTheirCountField)
{
    // Writers of 0x10000 files stored either the count or the count less one.
    const std::string path = TempPath("oldest.ltl");
    for (uint32_t field : {2u, 3u}) {
        SCOPED_TRACE(field);
        RecordValues values;
        values.count = field;
        ASSERT_TRUE(WriteCompoundFile(path, FileWith(values, 0x10000, 3)));
        auto toolbar = ReadFile(path);
        EXPECT_EQ(toolbar->Count(), 3);
    }
}

TEST_F(ToolbarFileTest, StoredShortcutKindIsSkippedWithMessage21)
{
    const std::string path = TempPath("kind4.ltl");
    RecordValues values;
    values.count = 3;
    CompoundContent content = FileWith(values, 0x23000, 3);
    content.storages[L"BUTTON001"][L"DATA"] = RecordBytes().U32(4).Bytes();
    ASSERT_TRUE(WriteCompoundFile(path, content));
    std::unique_ptr<CToolbar> toolbar;
    const std::string text = AnswerBoxDuring([&] { toolbar = ReadFile(path); }, "Stored", IDOK);
    EXPECT_EQ(text, "An error occured in trying to read a button from a toolbar file. The button has been removed "
                    "from the toolbar.");
    EXPECT_EQ(toolbar->Count(), 2);
}

TEST_F(ToolbarFileTest, SavedToolbarReadsBackIdentically)
{
    const std::string path = TempPath("roundtrip.ltl");
    CToolbar* toolbar = MakeToolbar("Round trip");
    AddSpace(toolbar);
    AddSpace(toolbar);
    toolbar->ChangeSettings([](ToolbarSettings& settings) {
        settings.orientation = kHorizontal;
        settings.buttonsPerLine = 2;
        settings.border = 5;
        settings.buttonSize = 2;
        settings.showDescription = TRUE;
        settings.showButtonBackground = FALSE;
        settings.useGradient = TRUE;
        settings.startIsSystem = FALSE;
        settings.startColour = RGB(1, 2, 3);
        settings.endIsSystem = FALSE;
        settings.endColour = RGB(4, 5, 6);
        settings.alwaysOnTop = TRUE;
        settings.dockCorner = kCornerTopRight;
        settings.protection.enabled = TRUE;
        settings.protection.level = 0x13;
        settings.protection.passwordRequired = TRUE;
        settings.protection.password = "scrambled";
        settings.protection.quickUnlockOption = TRUE;
    });
    ASSERT_TRUE(toolbar->WriteToFile(path.c_str(), 0));
    EXPECT_FALSE(toolbar->IsDirty());

    CompoundContent content;
    ASSERT_TRUE(ReadCompoundFile(path, content));
    EXPECT_EQ(content.streams[L"VERSION"], Version(0x23000));
    EXPECT_EQ(content.storages.size(), 2u);
    EXPECT_EQ(content.storages[L"BUTTON000"][L"DATA"], RecordBytes().U32(1).Bytes());

    auto back = ReadFile(path);
    EXPECT_STREQ(back->Name().c_str(), "Round trip");
    EXPECT_EQ(back->Count(), 2);
    EXPECT_EQ(back->Settings().orientation, kHorizontal);
    EXPECT_EQ(back->Settings().buttonsPerLine, 2);
    EXPECT_EQ(back->Settings().border, 5);
    EXPECT_EQ(back->ButtonSize(), 2);
    EXPECT_TRUE(back->ShowDescription());
    EXPECT_FALSE(back->ShowButtonBackground());
    EXPECT_TRUE(back->Settings().useGradient);
    EXPECT_EQ(back->Settings().startColour, RGB(1, 2, 3));
    EXPECT_EQ(back->Settings().endColour, RGB(4, 5, 6));
    EXPECT_TRUE(back->Settings().alwaysOnTop);
    EXPECT_EQ(back->Settings().dockCorner, kCornerTopRight);
    EXPECT_TRUE(back->Settings().protection.enabled);
    EXPECT_EQ(back->Settings().protection.level, 0x13u);
    EXPECT_STREQ(back->Settings().protection.password.c_str(), "scrambled");
    EXPECT_TRUE(back->Settings().protection.quickUnlockOption);
    RECT window{};
    GetWindowRect(toolbar->Handle(), &window);
    EXPECT_EQ(back->Settings().position.x, window.left);
    EXPECT_EQ(back->Settings().position.y, window.top);
}

TEST_F(ToolbarFileTest, UnconvertedOldFileIsWrittenInItsOwnFormat)
{
    const std::string path = TempPath("old11000.ltl");
    RecordValues values;
    values.count = 2;
    ASSERT_TRUE(WriteCompoundFile(path, FileWith(values, 0x11000, 2)));
    auto toolbar = ReadFile(path);
    ASSERT_EQ(toolbar->Version(), 0x11000u);
    const std::string copy = TempPath("old11000-copy.ltl");
    ASSERT_TRUE(toolbar->WriteToFile(copy.c_str(), 0));

    CompoundContent content;
    ASSERT_TRUE(ReadCompoundFile(copy, content));
    EXPECT_EQ(content.streams[L"VERSION"], Version(0x11000));
    EXPECT_EQ(content.streams[L"TOOLBAR"], FullRecord(values, 0x11000));   // the short record
    EXPECT_EQ(content.streams[L"BUTTON000"], RecordBytes().U32(1).Bytes());
    EXPECT_TRUE(content.storages.empty());

    // Converted, the same toolbar becomes a current file with storages.
    ASSERT_TRUE(toolbar->WriteToFile(copy.c_str(), 0x23000));
    ASSERT_TRUE(ReadCompoundFile(copy, content));
    EXPECT_EQ(content.streams[L"VERSION"], Version(0x23000));
    EXPECT_EQ(content.storages.size(), 2u);
}

namespace {

// A button whose record cannot be written.
class UnwritableButton : public TestButton
{
public:
    using TestButton::TestButton;
    BOOL Write2(IStorage*, DWORD) override { return FALSE; }
};

} // namespace

TEST_F(ToolbarFileTest, FailedSaveLeavesThePreviousFileIntact)
{
    const std::string path = TempPath("intact.ltl");
    CToolbar* toolbar = MakeToolbar("Intact");
    AddSpace(toolbar);
    ASSERT_TRUE(toolbar->WriteToFile(path.c_str(), 0));
    const std::vector<uint8_t> before = ReadWholeFile(path);
    ASSERT_FALSE(before.empty());

    auto* broken = new UnwritableButton(toolbar);
    CreationData data;
    toolbar->StoreCreationData(data);
    broken->Create(data, 3);
    ASSERT_TRUE(InsertButton(toolbar, broken, nullptr));
    toolbar->SetDirty();
    BOOL saved = TRUE;
    const std::string text =
        AnswerBoxDuring([&] { saved = toolbar->WriteToFile(path.c_str(), 0); }, path.c_str(), IDOK);
    EXPECT_EQ(text, "An error occured in trying to save the file.");
    EXPECT_FALSE(saved);
    EXPECT_TRUE(toolbar->IsDirty());
    EXPECT_EQ(ReadWholeFile(path), before);

    // No half-written file is left beside it.
    WIN32_FIND_DATAA found{};
    const std::string folder = path.substr(0, path.find_last_of('\\'));
    HANDLE search = FindFirstFileA((folder + "\\ltl*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
}

TEST_F(ToolbarFileTest, OldFormatRefusesButtonsItCannotHold)
{
    const std::string path = TempPath("refused.ltl");
    DeleteFileA(path.c_str());
    CToolbar* toolbar = MakeToolbar("Refused");
    AddTestButton(toolbar, kKindGroup);
    BOOL saved = TRUE;
    const std::string text =
        AnswerBoxDuring([&] { saved = toolbar->WriteToFile(path.c_str(), 0x11000); }, path.c_str(), IDOK);
    EXPECT_EQ(text.rfind("You have asked to save this toolbar using an old file format.", 0), 0u);
    EXPECT_FALSE(saved);
    EXPECT_FALSE(driver::FileExists(path));
    EXPECT_EQ(toolbar->Version(), 0x23000u);
}
