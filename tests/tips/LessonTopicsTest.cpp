// What a lesson asks Lintel for: the training cards of the first lesson,
// which lead on to the others, when the cards' WinHelp file is installed;
// otherwise each lesson's own topic of the compiled help.
#include "tips/GettingStartedDialog.h"
#include "resources/tips/tips_res.h"
#include "unit/HelpBackendDouble.h"

#include <gtest/gtest.h>

TEST(LessonTopics, EachLessonHasItsTopicWithoutTheTrainingCards)
{
    const std::string folder = CHelpBackendDouble::ProgramFolder();
    const struct {
        const char* installed;
        LPARAM want[5];
    } cases[] = {
        {"Lintel Intro.hlp", {IDH_FIRST_LESSON, 0, 0, 0, 0}},
        {"Lintel Intro.chm", {IDH_FIRST_LESSON, IDH_FIRST_LESSON + 1, IDH_FIRST_LESSON + 2, IDH_FIRST_LESSON + 3,
                              IDH_FIRST_LESSON + 4}},
        // Lintel's own help file says nothing about the lessons' cards.
        {"Lintel.hlp", {IDH_FIRST_LESSON, IDH_FIRST_LESSON + 1, IDH_FIRST_LESSON + 2, IDH_FIRST_LESSON + 3,
                        IDH_FIRST_LESSON + 4}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.installed);
        CHelpBackendDouble help;
        help.files = {folder + "\\" + c.installed};
        for (int lesson = 0; lesson < 5; ++lesson) {
            SCOPED_TRACE(lesson);
            EXPECT_EQ(CGettingStartedDialog::LessonItem(lesson), c.want[lesson]);
        }
    }
}
