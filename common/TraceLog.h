// The diagnostic trace: entry and exit lines of methods and free-text lines,
// appended to a plain text file one line at a time so that a crash leaves every
// line written so far on disk.  Callers test TraceOn() before calling the
// writers; the writers themselves write unconditionally.
#pragma once

#include <windows.h>

// The process-wide switch and file path.
bool TraceOn();
void SetTraceOn(bool on);
const char* TraceFilePath();
void SetTraceFilePath(const char* path);

// The instance whose string table holds the trace names (the program's own).
void SetTraceInstance(HINSTANCE instance);

void LogText(const char* text);
void LogStringId(UINT id);
void LogStringIdText(UINT id, const char* text);
void LogStringIdNumber(UINT id, unsigned long number);
void LogFormat(const char* format, unsigned long value);
void LogFormatText(const char* format, const char* text);
void LogHResult(HRESULT code);
void LogMethod(UINT classId, UINT methodId, BOOL entering);
void LogMethodResult(UINT classId, UINT methodId, unsigned long value, BOOL entering);

// A literal trace text, or an OLE result indented as the wrappers' texts
// are, written only while the trace is on.
inline void Trace(const char* text)
{
    if (TraceOn())
        LogText(text);
}

inline void TraceResult(HRESULT hr)
{
    if (TraceOn())
        LogFormat(" HR=%08lx", static_cast<unsigned long>(hr));
}

// Logs a method's entry when constructed and its exit when the scope ends: the
// plain exit line, or the result form when Result() named a format and a code.
class CTraceMethod
{
public:
    CTraceMethod(UINT classId, UINT methodId) : m_classId(classId), m_methodId(methodId)
    {
        if (TraceOn())
            LogMethod(classId, methodId, TRUE);
    }
    ~CTraceMethod()
    {
        if (!TraceOn())
            return;
        if (m_resultId)
            LogMethodResult(m_classId, m_resultId, m_code, FALSE);
        else
            LogMethod(m_classId, m_methodId, FALSE);
    }
    CTraceMethod(const CTraceMethod&) = delete;
    CTraceMethod& operator=(const CTraceMethod&) = delete;

    // The code is 1 for success or the number of the failure path taken.
    void Result(UINT resultId, unsigned long code)
    {
        m_resultId = resultId;
        m_code = code;
    }

private:
    UINT m_classId;
    UINT m_methodId;
    UINT m_resultId = 0;
    unsigned long m_code = 0;
};

// Checks an OLE result: a failure is logged as "HR=%08lx" and returned.
#define RETURN_IF_FAILED(expr)                       \
    do {                                             \
        const HRESULT hr_ = (expr);                  \
        if (FAILED(hr_)) {                           \
            if (TraceOn())                           \
                LogHResult(hr_);                     \
            return hr_;                              \
        }                                            \
    } while (0)
