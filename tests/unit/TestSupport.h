// Helpers shared by the unit tests.
#pragma once

#include "common/TraceLog.h"

#include <windows.h>

#include <string>

namespace testing_support {

// Switches the trace on into a fresh file for one test and off again after.
class ScopedTrace
{
public:
    explicit ScopedTrace(const std::string& fileName)
    {
        char folder[MAX_PATH]{};
        GetTempPathA(sizeof folder, folder);
        m_path = std::string(folder) + fileName;
        DeleteFileA(m_path.c_str());
        SetTraceFilePath(m_path.c_str());
        SetTraceOn(true);
    }
    ~ScopedTrace()
    {
        SetTraceOn(false);
        DeleteFileA(m_path.c_str());
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

} // namespace testing_support
