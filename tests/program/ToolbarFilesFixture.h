// Lintel started with toolbar files written by the test and opened at start,
// with OLE ready for the clipboard hand-overs the companions make.
#pragma once

#include "LintelFixture.h"
#include "driver/ToolbarFiles.h"

#include <ole2.h>

#include <cstdio>
#include <string>
#include <vector>

class LintelWithToolbarsTest : public LintelProgramTest
{
protected:
    void SetUp() override
    {
        LintelProgramTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    }
    void TearDown() override
    {
        OleSetClipboard(nullptr);
        OleUninitialize();
        LintelProgramTest::TearDown();
    }

    // Toolbar files opened at start, in slot order.
    void StartWith(const std::vector<RecordValues>& toolbars)
    {
        driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", static_cast<DWORD>(toolbars.size()));
        for (size_t i = 0; i < toolbars.size(); ++i) {
            const std::string path = FileOf(toolbars[i].name);
            ASSERT_TRUE(WriteCompoundFile(path, FileWith(toolbars[i], 0x23000)));
            char value[16];
            snprintf(value, sizeof value, "Toolbar%02u", static_cast<unsigned>(i + 1));
            driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, value, path.c_str());
        }
        m_lintel = &Start();
        m_main = WaitForMainWindow(*m_lintel);
        ASSERT_NE(m_main, nullptr);
    }
    std::string FileOf(const std::string& name) const { return m_folder + "\\" + name + ".ltl"; }

    driver::Process* m_lintel = nullptr;
    HWND m_main = nullptr;
};
