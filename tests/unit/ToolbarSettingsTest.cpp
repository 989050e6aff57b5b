// The stored settings of a toolbar as a plain value: the range checks a
// toolbar file's values go through.
#include "toolbars/ToolbarSettings.h"

#include <gtest/gtest.h>

#include <functional>

TEST(ToolbarSettings, NewToolbarSettingsPassTheChecksUnchanged)
{
    ToolbarSettings settings;
    settings.startColour = RGB(1, 2, 3);
    settings.endColour = RGB(4, 5, 6);
    const ToolbarSettings checked = settings.Validated();
    EXPECT_EQ(checked.docked, settings.docked);
    EXPECT_EQ(checked.dockCorner, settings.dockCorner);
    EXPECT_EQ(checked.orientation, settings.orientation);
    EXPECT_EQ(checked.buttonsPerLine, settings.buttonsPerLine);
    EXPECT_EQ(checked.autohide, settings.autohide);
    EXPECT_EQ(checked.startIsSystem, settings.startIsSystem);
    EXPECT_EQ(checked.endIsSystem, settings.endIsSystem);
    EXPECT_EQ(checked.startColour, settings.startColour);
    EXPECT_EQ(checked.buttonSize, settings.buttonSize);
    EXPECT_EQ(checked.border, settings.border);
    EXPECT_EQ(checked.showButtonBackground, settings.showButtonBackground);
    EXPECT_EQ(checked.showMenuButtons, settings.showMenuButtons);
    EXPECT_EQ(checked.protection.level, settings.protection.level);
}

TEST(ToolbarSettings, EachBadValueTakesTheValueOfADamagedFile)
{
    // The fallbacks are those of the file format, not a new toolbar's
    // defaults, and out of range is never clamped to the nearest end.
    struct Case {
        const char* name;
        std::function<void(ToolbarSettings&)> change;
        std::function<void(const ToolbarSettings&)> check;
    };
    const Case cases[] = {
        {"perLine 40", [](ToolbarSettings& s) { s.buttonsPerLine = 40; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.buttonsPerLine, 1); }},
        {"perLine 0", [](ToolbarSettings& s) { s.buttonsPerLine = 0; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.buttonsPerLine, 1); }},
        {"border 6", [](ToolbarSettings& s) { s.border = 6; }, [](const ToolbarSettings& s) { EXPECT_EQ(s.border, 3); }},
        {"border -1", [](ToolbarSettings& s) { s.border = -1; }, [](const ToolbarSettings& s) { EXPECT_EQ(s.border, 3); }},
        {"border 0", [](ToolbarSettings& s) { s.border = 0; }, [](const ToolbarSettings& s) { EXPECT_EQ(s.border, 0); }},
        {"buttonSize -1", [](ToolbarSettings& s) { s.buttonSize = -1; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.buttonSize, 1); }},
        {"orientation 0", [](ToolbarSettings& s) { s.orientation = 0; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.orientation, kVertical); }},
        {"start follows system 2", [](ToolbarSettings& s) { s.startIsSystem = 2; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.startIsSystem, FALSE); }},
        {"end follows system -1", [](ToolbarSettings& s) { s.endIsSystem = -1; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.endIsSystem, FALSE); }},
        {"autohide 7", [](ToolbarSettings& s) { s.autohide = 7; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.autohide, TRUE); }},
        {"menu buttons 3", [](ToolbarSettings& s) { s.showMenuButtons = 3; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.showMenuButtons, TRUE); }},
        {"hidden 2", [](ToolbarSettings& s) { s.hidden = 2; }, [](const ToolbarSettings& s) { EXPECT_EQ(s.hidden, FALSE); }},
        {"corner 77 is not checked", [](ToolbarSettings& s) { s.dockCorner = 77; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.dockCorner, 77); }},
        {"level 0x7F", [](ToolbarSettings& s) { s.protection.level = 0x7F; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.protection.level, 0x7Fu); }},
        {"level all ones", [](ToolbarSettings& s) { s.protection.level = 0xFFFFFFFF; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.protection.level, static_cast<DWORD>(kProtectDrag)); }},
        {"protected 2", [](ToolbarSettings& s) { s.protection.enabled = 2; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.protection.enabled, FALSE); }},
        {"quick unlock without a password", [](ToolbarSettings& s) { s.protection.quickUnlockOption = TRUE; },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.protection.quickUnlockOption, FALSE); }},
        {"quick unlock with a password",
         [](ToolbarSettings& s) {
             s.protection.passwordRequired = TRUE;
             s.protection.password = "secret";
             s.protection.quickUnlockOption = TRUE;
         },
         [](const ToolbarSettings& s) { EXPECT_EQ(s.protection.quickUnlockOption, TRUE); }},
    };
    for (const Case& entry : cases) {
        SCOPED_TRACE(entry.name);
        ToolbarSettings settings;
        entry.change(settings);
        settings.Sanitise();
        entry.check(settings);
    }
}
