#include "TraceLog.h"

#include "Error.h"

#include <cstdio>
#include <cstring>

namespace {

bool g_traceOn = false;
char g_traceFile[MAX_PATH] = ".\\Logfile.txt";
HINSTANCE g_traceInstance = nullptr;

constexpr size_t kNameSize = 260;
constexpr size_t kLineSize = 1024;

void LoadName(UINT id, char (&buffer)[kNameSize])
{
    buffer[0] = 0;
    if (LoadStringA(g_traceInstance ? g_traceInstance : GetModuleHandleA(nullptr), id, buffer, kNameSize) <= 0)
        buffer[0] = 0;
}

} // namespace

bool TraceOn() { return g_traceOn; }
void SetTraceOn(bool on) { g_traceOn = on; }
const char* TraceFilePath() { return g_traceFile; }

void SetTraceFilePath(const char* path)
{
    lstrcpynA(g_traceFile, path ? path : "", sizeof g_traceFile);
}

void SetTraceInstance(HINSTANCE instance) { g_traceInstance = instance; }

void LogText(const char* text)
{
    SYSTEMTIME now{};
    GetLocalTime(&now);
    // Opened and closed for every line: lines from the two threads may
    // interleave, but each reaches the disk whole.
    FILE* file = std::fopen(g_traceFile, "a");
    if (!file)
        return;
    std::fprintf(file, "%02u:%02u:%02u: %s\n", now.wHour, now.wMinute, now.wSecond, text ? text : "<null>");
    std::fclose(file);
}

void LogStringId(UINT id)
{
    char name[kNameSize];
    LoadName(id, name);
    LogText(name);
}

void LogStringIdText(UINT id, const char* text)
{
    char format[kNameSize];
    LoadName(id, format);
    LogFormatText(format, text);
}

void LogStringIdNumber(UINT id, unsigned long number)
{
    char format[kNameSize];
    LoadName(id, format);
    LogFormat(format, number);
}

void LogFormat(const char* format, unsigned long value)
{
    char line[kLineSize];
    // A text field in a number format would read the number as an address: such
    // a format is written as it stands rather than risk the program.
    if (format && std::strstr(format, "%s")) {
        LogText(format);
        return;
    }
    std::snprintf(line, sizeof line, format ? format : "%lu", value);
    LogText(line);
}

void LogFormatText(const char* format, const char* text)
{
    char line[kLineSize];
    std::snprintf(line, sizeof line, format ? format : "%s", text ? text : "<null>");
    LogText(line);
}

void LogHResult(HRESULT code)
{
    LogFormat("HR=%08lx", static_cast<unsigned long>(code));
}

namespace {

void BuildMethodText(UINT classId, UINT methodId, BOOL entering, char (&line)[kLineSize])
{
    char className[kNameSize];
    char methodName[kNameSize];
    LoadName(classId, className);
    LoadName(methodId, methodName);
    std::snprintf(line, sizeof line, "%c %s::%s", entering ? '>' : '<', className, methodName);
}

} // namespace

void LogMethod(UINT classId, UINT methodId, BOOL entering)
{
    char line[kLineSize];
    BuildMethodText(classId, methodId, entering, line);
    LogText(line);
}

void LogMethodResult(UINT classId, UINT methodId, unsigned long value, BOOL entering)
{
    char format[kLineSize];
    BuildMethodText(classId, methodId, entering, format);
    LogFormat(format, value);
}

bool LogEscapedException(const char* text)
{
    if (TraceOn())
        LogText(text ? text : "unknown exception");
    return false;
}
