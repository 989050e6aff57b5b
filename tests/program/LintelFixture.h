// What every test of the real Lintel.exe needs: a known registry, a working
// folder of its own, and no copy of the program left running afterwards.
#pragma once

#include "driver/Driver.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

constexpr const char* kUserKey = "Software\\Corvane\\Lintel\\Current";
constexpr const char* kMachineKey = "Software\\Corvane\\Lintel\\Current";
constexpr const char* kLoggingQuestion = "Are you sure you want to perform logging on Lintel?";

class LintelProgramTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts Lintel.exe in the test's folder with a raw argument text.
    driver::Process& Start(const std::string& arguments = "");
    // The hidden main window of a started copy.
    HWND WaitForMainWindow(const driver::Process& process);
    // Asks a copy to close as the "Exit" command does, and waits for it to end.
    bool Close(driver::Process& process);

    std::string m_folder;
    std::vector<std::unique_ptr<driver::Process>> m_processes;
};
