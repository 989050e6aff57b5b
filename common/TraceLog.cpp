#include "TraceLog.h"

#include "Error.h"
#include "ScopedHandle.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

bool g_traceOn = false;
char g_traceFile[MAX_PATH] = ".\\Logfile.txt";
HINSTANCE g_traceInstance = nullptr;

constexpr size_t kNameSize = 260;
constexpr size_t kLineSize = 1024;
// Where the writers of one trace file take turns: a byte no trace reaches,
// so that readers never meet the lock.
constexpr DWORD kWriterLockOffsetHigh = 0x7FFFFFFF;

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
    std::string line;
    try {
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "%02u:%02u:%02u: ", now.wHour, now.wMinute, now.wSecond);
        line = stamp;
        // The file has always been written in text mode: every line break is
        // CR LF, one inside a text too.
        for (const char* at = text ? text : "<null>"; *at; ++at) {
            if (*at == '\n')
                line += '\r';
            line += *at;
        }
        line += "\r\n";
    } catch (...) {
        return;   // no memory for the line: the trace loses it, the program goes on
    }
    // Opened and closed for every line, so that a crash leaves every line on
    // disk.  Two processes (or threads) write at once: a handle that may only
    // append has each write put at the end of the file in one piece, so the
    // line goes in one write.  Wine and network redirectors find the end
    // first and write there afterwards, and two writers can both find the
    // same end; each writer therefore also holds a lock on a byte far past
    // any trace while it writes (locking needs read access besides).
    CFileHandle file(CreateFileA(g_traceFile, FILE_APPEND_DATA | FILE_READ_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                 nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsValid())
        return;
    OVERLAPPED lockAt{};
    lockAt.OffsetHigh = kWriterLockOffsetHigh;
    const bool locked = LockFileEx(file.Get(), LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &lockAt) != FALSE;
    DWORD written = 0;
    WriteFile(file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    if (locked)
        UnlockFileEx(file.Get(), 0, 1, 0, &lockAt);
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
