// The tips and what the tip program remembers between runs: the tip records
// in the program's resources, "CurrentTip", "ShowTips" and the lesson flags
// under the user's settings key.
#pragma once

#include "../common/Text.h"

#include <array>

// A tip: the string id of its text and the help item of "More Info"
// (0: the tip has none).
struct TipRecord {
    UINT textId = 0;
    DWORD helpItem = 0;
};

// Tip n from the "TIPS" resources; FALSE when there is no such tip.
BOOL LoadTipRecord(HINSTANCE instance, int number, TipRecord& tip);
// The number of tips: they run without gaps from 0 up to the first missing one.
int CountTips(HINSTANCE instance);
// The tip to store as the next run's: the one after number, or 0 after the last.
int NextTipNumber(HINSTANCE instance, int number);

constexpr int kLessonCount = 5;
using LessonFlags = std::array<BOOL, kLessonCount>;

class CTipSettings
{
public:
    explicit CTipSettings(HINSTANCE instance) : m_instance(instance) {}

    // "CurrentTip": 0 when it is missing, not a number or negative.  It may
    // still name a tip that does not exist; the dialog starts again at 0 then.
    int ReadCurrentTip() const;
    // "ShowTips": TRUE unless it is stored as 0.
    BOOL ReadShowTips() const;
    // "Lesson1".."Lesson5": taken when the text is "Yes".
    LessonFlags ReadLessons() const;

    BOOL WriteTipState(int currentTip, BOOL showTips) const;
    BOOL WriteLessons(const LessonFlags& taken) const;

private:
    CText Text(UINT id) const;
    CText LessonValueName(int lesson) const;

    HINSTANCE m_instance;
};
