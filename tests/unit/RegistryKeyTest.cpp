#include "TestSupport.h"
#include "common/RegistryKey.h"
#include "driver/Driver.h"

#include <gtest/gtest.h>

namespace {

const char* const kTestKey = "Software\\Corvane\\LintelTests\\Registry";

class RegistryKeyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
        ASSERT_TRUE(driver::SetRegistryString(HKEY_CURRENT_USER, kTestKey, "Text", "Hello"));
        ASSERT_TRUE(driver::SetRegistryDword(HKEY_CURRENT_USER, kTestKey, "Number", 0x00636261));   // "abc"
    }
    void TearDown() override { driver::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey); }
};

} // namespace

TEST_F(RegistryKeyTest, MissingStringValueEmptiesTarget)
{
    CRegistryKey key;
    ASSERT_TRUE(key.OpenKey(HKEY_CURRENT_USER, kTestKey, CRegistryKey::kRead));
    CText value("previous");
    EXPECT_FALSE(key.GetStringValue("Missing", value));
    EXPECT_TRUE(value.IsEmpty());
    EXPECT_TRUE(key.GetStringValue("Text", value));
    EXPECT_STREQ(value.c_str(), "Hello");
}

TEST_F(RegistryKeyTest, NumberReadAsTextGivesItsBytes)
{
    CRegistryKey key;
    ASSERT_TRUE(key.OpenKey(HKEY_CURRENT_USER, kTestKey, CRegistryKey::kRead));
    CText value;
    ASSERT_TRUE(key.GetStringValue("Number", value));
    EXPECT_STREQ(value.c_str(), "abc");
}

TEST_F(RegistryKeyTest, LongValueTakesAtMostFourBytesOfAnyType)
{
    const BYTE two[2] = {0x34, 0x12};
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kTestKey, 0, KEY_SET_VALUE, &raw), ERROR_SUCCESS);
    RegSetValueExA(raw, "Two", 0, REG_BINARY, two, sizeof two);
    RegSetValueExA(raw, "Eight", 0, REG_BINARY, eight, sizeof eight);
    RegCloseKey(raw);

    CRegistryKey key;
    ASSERT_TRUE(key.OpenKey(HKEY_CURRENT_USER, kTestKey, CRegistryKey::kRead));
    DWORD number = 0xCCCCCCCC;
    EXPECT_TRUE(key.GetLongValue("Number", number));
    EXPECT_EQ(number, 0x00636261u);
    EXPECT_TRUE(key.GetLongValue("Two", number));
    EXPECT_EQ(number, 0x1234u);
    number = 7;
    EXPECT_FALSE(key.GetLongValue("Eight", number));
    EXPECT_EQ(number, 7u);
    EXPECT_FALSE(key.GetLongValue("Missing", number));
}

TEST_F(RegistryKeyTest, ValuesRoundTrip)
{
    CRegistryKey key;
    ASSERT_TRUE(key.OpenKey(HKEY_CURRENT_USER, kTestKey, CRegistryKey::kAllAccess));
    ASSERT_TRUE(key.SetStringValue("Saved", "Yes"));
    ASSERT_TRUE(key.SetLongValue("Hotkey", 0x047A));
    const BYTE data[5] = {9, 8, 7, 6, 5};
    ASSERT_TRUE(key.SetBinaryValue("Blob", data, sizeof data));

    std::string text;
    DWORD number = 0;
    EXPECT_TRUE(driver::ReadRegistryString(HKEY_CURRENT_USER, kTestKey, "Saved", text));
    EXPECT_EQ(text, "Yes");
    EXPECT_TRUE(driver::ReadRegistryDword(HKEY_CURRENT_USER, kTestKey, "Hotkey", number));
    EXPECT_EQ(number, 0x047Au);

    BYTE back[5]{};
    EXPECT_TRUE(key.GetBinaryValue("Blob", back, sizeof back));
    EXPECT_EQ(memcmp(back, data, sizeof data), 0);
    BYTE small[4]{};
    EXPECT_FALSE(key.GetBinaryValue("Blob", small, sizeof small));   // longer than the buffer
}

TEST_F(RegistryKeyTest, CreateReportsWhetherTheKeyIsNew)
{
    CRegistryKey key;
    BOOL created = TRUE;
    ASSERT_TRUE(key.CreateKey(HKEY_CURRENT_USER, kTestKey, &created, CRegistryKey::kWrite));
    EXPECT_FALSE(created);

    const std::string subkey = std::string(kTestKey) + "\\New";
    ASSERT_TRUE(key.CreateKey(HKEY_CURRENT_USER, subkey.c_str(), &created, CRegistryKey::kWrite));
    EXPECT_TRUE(created);
}

TEST_F(RegistryKeyTest, AccessCodesLimitWhatTheKeyMayDo)
{
    CRegistryKey readOnly;
    ASSERT_TRUE(readOnly.OpenKey(HKEY_CURRENT_USER, kTestKey, CRegistryKey::kRead));
    EXPECT_FALSE(readOnly.SetStringValue("Text", "changed"));

    CRegistryKey setOnly;
    ASSERT_TRUE(setOnly.OpenKey(HKEY_CURRENT_USER, kTestKey, CRegistryKey::kSetValue));
    EXPECT_TRUE(setOnly.SetStringValue("Text", "changed"));
    CText value;
    EXPECT_FALSE(setOnly.GetStringValue("Text", value));
}

TEST_F(RegistryKeyTest, FailedOpenLeavesNoKey)
{
    CRegistryKey key;
    ASSERT_TRUE(key.OpenKey(HKEY_CURRENT_USER, kTestKey, CRegistryKey::kRead));
    // Opening again closes the first key, even when the second open fails.
    EXPECT_FALSE(key.OpenKey(HKEY_CURRENT_USER, "Software\\Corvane\\LintelTests\\Nowhere", CRegistryKey::kRead));
    EXPECT_FALSE(key.IsOpen());
    CText value("x");
    DWORD number = 0;
    EXPECT_FALSE(key.GetStringValue("Text", value));
    EXPECT_FALSE(key.GetLongValue("Number", number));
    EXPECT_FALSE(key.SetStringValue("Text", "y"));
}

TEST_F(RegistryKeyTest, TraceNamesTheStepThatFailed)
{
    testing_support::ScopedTrace trace("lintel-registry-trace.txt");
    CRegistryKey key;
    CText value;
    key.GetStringValue("Text", value);                       // no key open
    key.OpenKey(HKEY_CURRENT_USER, kTestKey, CRegistryKey::kRead);
    key.GetStringValue("Missing", value);
    key.GetStringValue("Text", value);
    DWORD number = 0;
    key.GetLongValue("Number", number);

    const auto lines = driver::ReadTraceLines(trace.Path());
    const char* const expected[] = {
        " > GetStringValue(Text)", " < GetStringValue fail 1",
        " > OpenKey(Software\\Corvane\\LintelTests\\Registry)", " < OpenKey OK",
        " > GetStringValue(Missing)", " < GetStringValue fail 2",
        " > GetStringValue(Text)", " Result=Hello", " < GetStringValue OK",
        " > GetLongValue(Number)", " < GetLongValue=6513249",
    };
    ASSERT_EQ(lines.size(), std::size(expected));
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], expected[i]) << i;
}
