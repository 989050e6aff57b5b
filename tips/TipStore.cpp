#include "TipStore.h"

#include "../common/RegistryKey.h"
#include "../resources/tips/tips_res.h"

#include <cstring>

namespace {

constexpr const char* kTipResourceType = "TIPS";
// Tips are few; a table that claims more is damaged.
constexpr int kMaxTips = 1000;

} // namespace

BOOL LoadTipRecord(HINSTANCE instance, int number, TipRecord& tip)
{
    if (number < 0 || number >= kMaxTips)
        return FALSE;
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(IDR_TIP_FIRST + number), kTipResourceType);
    if (!found)
        return FALSE;
    const DWORD size = SizeofResource(instance, found);
    HGLOBAL loaded = LoadResource(instance, found);
    const void* bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size < 2 * sizeof(DWORD))
        return FALSE;
    DWORD values[2]{};
    std::memcpy(values, bytes, sizeof values);
    tip.textId = values[0];
    tip.helpItem = values[1];
    return TRUE;
}

int CountTips(HINSTANCE instance)
{
    TipRecord tip;
    int count = 0;
    while (LoadTipRecord(instance, count, tip))
        ++count;
    return count;
}

int NextTipNumber(HINSTANCE instance, int number)
{
    TipRecord tip;
    return LoadTipRecord(instance, number + 1, tip) ? number + 1 : 0;
}

CText CTipSettings::Text(UINT id) const
{
    CText text;
    text.LoadString(m_instance, id);
    return text;
}

CText CTipSettings::LessonValueName(int lesson) const
{
    char name[32]{};
    wsprintfA(name, Text(IDS_REG_LESSON_FORMAT).c_str(), lesson);
    return CText(name);
}

int CTipSettings::ReadCurrentTip() const
{
    // Read here rather than through CRegistryKey, which takes any value of
    // four bytes or less as a number: a text "12" would become a tip number.
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, Text(IDS_REG_KEY_TIPS).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG status = RegQueryValueExA(key, Text(IDS_REG_CURRENT_TIP).c_str(), nullptr, &type,
                                         reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_DWORD || size != sizeof value)
        return 0;
    const int number = static_cast<int>(value);
    return number < 0 ? 0 : number;
}

BOOL CTipSettings::ReadShowTips() const
{
    CRegistryKey key;
    DWORD show = 1;
    if (key.OpenKey(HKEY_CURRENT_USER, Text(IDS_REG_KEY_TIPS), CRegistryKey::kRead))
        key.GetLongValue(Text(IDS_REG_SHOW_TIPS), show);
    return show != 0;
}

LessonFlags CTipSettings::ReadLessons() const
{
    LessonFlags taken{};
    CRegistryKey key;
    if (!key.OpenKey(HKEY_CURRENT_USER, Text(IDS_REG_KEY_TIPS), CRegistryKey::kRead))
        return taken;
    const CText yes = Text(IDS_REG_YES);
    for (int lesson = 0; lesson < kLessonCount; ++lesson) {
        CText value;
        taken[lesson] = key.GetStringValue(LessonValueName(lesson + 1), value) && value == yes;
    }
    return taken;
}

BOOL CTipSettings::WriteTipState(int currentTip, BOOL showTips) const
{
    CRegistryKey key;
    if (!key.CreateKey(HKEY_CURRENT_USER, Text(IDS_REG_KEY_TIPS), nullptr, CRegistryKey::kWrite))
        return FALSE;
    return key.SetLongValue(Text(IDS_REG_CURRENT_TIP), static_cast<DWORD>(currentTip))
           && key.SetLongValue(Text(IDS_REG_SHOW_TIPS), showTips ? 1 : 0);
}

BOOL CTipSettings::WriteLessons(const LessonFlags& taken) const
{
    CRegistryKey key;
    if (!key.CreateKey(HKEY_CURRENT_USER, Text(IDS_REG_KEY_TIPS), nullptr, CRegistryKey::kWrite))
        return FALSE;
    const CText yes = Text(IDS_REG_YES);
    const CText no = Text(IDS_REG_NO);
    BOOL written = TRUE;
    for (int lesson = 0; lesson < kLessonCount; ++lesson)
        written = key.SetStringValue(LessonValueName(lesson + 1), taken[lesson] ? yes : no) && written;
    return written;
}
