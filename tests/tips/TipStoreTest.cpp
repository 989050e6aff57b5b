// The tip records in the program's resources and the values the tip program
// keeps under the user's settings key.
#include "tips/TipStore.h"

#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kSettingsKey = "Software\\Corvane\\Lintel\\Current";

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

void Forget(const char* name) { driver::DeleteRegistryValue(HKEY_CURRENT_USER, kSettingsKey, name); }

} // namespace

TEST(TipRecords, RunWithoutGapsEachWithATextAndWrapAfterTheLast)
{
    const int count = CountTips(Instance());
    ASSERT_GE(count, 20);
    for (int n = 0; n < count; ++n) {
        SCOPED_TRACE(n);
        TipRecord tip;
        ASSERT_TRUE(LoadTipRecord(Instance(), n, tip));
        char text[1024]{};
        EXPECT_GT(LoadStringA(Instance(), tip.textId, text, sizeof text), 20);
        EXPECT_EQ(NextTipNumber(Instance(), n), n + 1 < count ? n + 1 : 0);
    }
    TipRecord none;
    EXPECT_FALSE(LoadTipRecord(Instance(), count, none));
    EXPECT_FALSE(LoadTipRecord(Instance(), -1, none));
}

TEST(TipSettings, CurrentTipIsZeroUnlessStoredAsANonNegativeNumber)
{
    CTipSettings settings(Instance());
    const BYTE three[4] = {3, 0, 0, 0};
    struct Case {
        const char* label;
        DWORD type;
        const void* data;
        DWORD size;
        int want;
    };
    const DWORD five = 5;
    const DWORD negative = 0xFFFFFFFF;
    const Case cases[] = {
        {"missing", REG_NONE, nullptr, 0, 0},
        {"a number", REG_DWORD, &five, sizeof five, 5},
        {"negative", REG_DWORD, &negative, sizeof negative, 0},
        {"a text", REG_SZ, "3", 2, 0},
        {"four bytes of binary", REG_BINARY, three, sizeof three, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Forget("CurrentTip");
        if (c.data) {
            ASSERT_EQ(RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "CurrentTip", c.type, c.data, c.size),
                      ERROR_SUCCESS);
        }
        EXPECT_EQ(settings.ReadCurrentTip(), c.want);
    }
    ASSERT_TRUE(settings.WriteTipState(7, FALSE));
    EXPECT_EQ(settings.ReadCurrentTip(), 7);
    EXPECT_FALSE(settings.ReadShowTips());
    Forget("CurrentTip");
    Forget("ShowTips");
}

TEST(TipSettings, ShowTipsIsOnUnlessStoredAsZero)
{
    CTipSettings settings(Instance());
    Forget("ShowTips");
    EXPECT_TRUE(settings.ReadShowTips());
    for (const DWORD stored : {0u, 1u, 2u}) {
        SCOPED_TRACE(stored);
        ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kSettingsKey, "ShowTips", stored));
        EXPECT_EQ(settings.ReadShowTips() != FALSE, stored != 0);
    }
    Forget("ShowTips");
}

TEST(TipSettings, ALessonIsTakenOnlyWhenStoredAsYesAndIsWrittenAsYesOrNo)
{
    CTipSettings settings(Instance());
    struct Case { const char* stored; BOOL taken; };
    const Case cases[] = {{"Yes", TRUE}, {"yes", TRUE}, {"No", FALSE}, {"1", FALSE}, {"Yes please", FALSE}, {nullptr, FALSE}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored ? c.stored : "(missing)");
        Forget("Lesson3");
        if (c.stored) {
            ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kSettingsKey, "Lesson3", c.stored));
        }
        EXPECT_EQ(settings.ReadLessons()[2], c.taken);
    }

    ASSERT_TRUE(settings.WriteLessons({TRUE, FALSE, FALSE, TRUE, FALSE}));
    const char* const want[] = {"Yes", "No", "No", "Yes", "No"};
    for (int lesson = 0; lesson < kLessonCount; ++lesson) {
        SCOPED_TRACE(lesson);
        std::string value;
        const std::string name = "Lesson" + std::to_string(lesson + 1);
        EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kSettingsKey, name.c_str(), value));
        EXPECT_EQ(value, want[lesson]);
        Forget(name.c_str());
    }
}
