// In-process toolbars for the unit tests: a program object with its window
// classes, a toolbar set without a main window, and buttons of a test kind
// that record what the toolbar and the mouse ask of them.
#pragma once

#include "app/MainApp.h"
#include "buttons/ToolButton.h"
#include "toolbars/Toolbar.h"
#include "toolbars/ToolbarSet.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

// Hands a button made by a test to its toolbar, which owns it from here on
// (and has deleted it when this gives null).
template <class Button>
Button* InsertButton(CToolbar* toolbar, Button* button, CToolButton* after = nullptr)
{
    return static_cast<Button*>(toolbar->InsertNewButton(std::unique_ptr<CToolButton>(button), after));
}

// A button with a target of its own kind, counting its actions.
class TestButton : public CToolButton
{
public:
    TestButton(CToolbar* toolbar, ButtonKind kind = kKindProgram, BOOL holdShowsMenu = TRUE)
        : CToolButton(toolbar, toolbar ? toolbar->App() : nullptr, nullptr), m_holdShowsMenu(holdShowsMenu)
    {
        m_kind = kind;
    }
    void Activate(BOOL) override { ++activations; }
    BOOL OnHold() override
    {
        ++holds;
        return m_holdShowsMenu;
    }
    void OnRightClick(BOOL) override { ++rightClicks; }

    int activations = 0;
    int holds = 0;
    int rightClicks = 0;

private:
    BOOL m_holdShowsMenu;
};

class ToolbarTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A new toolbar with its window, in the set, shown.
    CToolbar* MakeToolbar(const char* name = "Test toolbar");
    // A button of the given kind with its window, appended to the toolbar.
    TestButton* AddTestButton(CToolbar* toolbar, ButtonKind kind = kKindProgram, BOOL holdShowsMenu = TRUE);
    // A space, as the toolbar's add command makes it.
    CToolButton* AddSpace(CToolbar* toolbar) { return toolbar->AddButton(kKindSpace, nullptr); }

    std::unique_ptr<CMainApp> m_app;
    std::unique_ptr<CToolbarSet> m_set;
};

// Runs work on this thread while another waits for a message box of this
// process with the caption, answers it with the button and returns its text
// ("<no box>" when none came).  The work may block in that box.
std::string AnswerBoxDuring(const std::function<void()>& work, const char* caption, int button);
