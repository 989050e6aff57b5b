// A help backend for the tests: the files it says exist are a list the test
// keeps, and it records every call instead of opening a viewer or a box.
#pragma once

#include "common/Help.h"

#include <windows.h>

#include <set>
#include <string>
#include <vector>

class CHelpBackendDouble final : public IHelpBackend
{
public:
    struct Call {
        std::string kind;   // "winhelp", "htmlhelp" or "missing"
        HWND owner;
        std::string file;
        UINT command;
        ULONG_PTR data;
    };

    CHelpBackendDouble() { m_previous = SetHelpBackend(this); }
    ~CHelpBackendDouble() { SetHelpBackend(m_previous); }
    CHelpBackendDouble(const CHelpBackendDouble&) = delete;
    CHelpBackendDouble& operator=(const CHelpBackendDouble&) = delete;

    std::set<std::string> files;   // full paths, compared without regard to case
    BOOL answer = TRUE;
    std::vector<Call> calls;

    bool FileExists(const std::string& path) override
    {
        for (const std::string& file : files)
            if (lstrcmpiA(file.c_str(), path.c_str()) == 0)
                return true;
        return false;
    }
    BOOL ShowWinHelp(HWND owner, const char* file, UINT command, ULONG_PTR data) override
    {
        calls.push_back({"winhelp", owner, file, command, data});
        return answer;
    }
    BOOL ShowHtmlHelp(HWND owner, const std::string& file, UINT command, DWORD_PTR data) override
    {
        calls.push_back({"htmlhelp", owner, file, command, data});
        return answer;
    }
    void ReportMissing(HWND owner, const std::string& helpFile, const std::string& htmlFile) override
    {
        calls.push_back({"missing", owner, helpFile + "|" + htmlFile, 0, 0});
    }

    // The folder of the running test program, where the programs look first.
    static std::string ProgramFolder()
    {
        char path[MAX_PATH]{};
        GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string folder = path;
        return folder.substr(0, folder.find_last_of('\\'));
    }
    static std::string WindowsFolder()
    {
        char path[MAX_PATH]{};
        GetWindowsDirectoryA(path, MAX_PATH);
        return path;
    }

private:
    IHelpBackend* m_previous = nullptr;
};
