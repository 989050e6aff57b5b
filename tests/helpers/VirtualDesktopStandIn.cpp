// A stand-in for the virtual-desktop library "Mlv95Api.dll", for the tests
// only: it answers the four calls the program makes and appends one line per
// call to the file named by LINTEL_VDESK_LOG ("Attach" when it is loaded), so
// that a test can tell whether it was loaded and what was asked of it.
// LINTEL_VDESK_SCREEN sets the answer of GetScreen (0 unless set; -1 tells
// the program that no desktop is current); LINTEL_VDESK_GRID sets the answer
// of GetGridSize as "columns,rows" (3,2 unless set); LINTEL_VDESK_INITIALISE
// set to 0 makes Initialise say the product is not running.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

void Log(const char* line)
{
    char path[MAX_PATH]{};
    const DWORD length = GetEnvironmentVariableA("LINTEL_VDESK_LOG", path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    char text[128]{};
    const int size = std::snprintf(text, sizeof text, "%s\r\n", line);
    DWORD written = 0;
    if (size > 0)
        WriteFile(file, text, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
}

} // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID)
{
    if (reason == DLL_PROCESS_ATTACH)
        Log("Attach");
    return TRUE;
}

// Non-zero: the product is running and usable.
BOOL WINAPI Initialise()
{
    Log("Initialise()");
    char answer[16]{};
    const DWORD length = GetEnvironmentVariableA("LINTEL_VDESK_INITIALISE", answer, sizeof answer);
    return length > 0 && length < sizeof answer ? std::strtol(answer, nullptr, 10) != 0 : TRUE;
}

// Columns in the low word, rows in the high word.
LONG WINAPI GetGridSize()
{
    Log("GetGridSize()");
    char answer[32]{};
    const DWORD length = GetEnvironmentVariableA("LINTEL_VDESK_GRID", answer, sizeof answer);
    int columns = 3;
    int rows = 2;
    if (length > 0 && length < sizeof answer)
        std::sscanf(answer, "%d,%d", &columns, &rows);
    return MAKELONG(columns, rows);
}

LONG WINAPI GetScreen()
{
    Log("GetScreen()");
    char answer[16]{};
    const DWORD length = GetEnvironmentVariableA("LINTEL_VDESK_SCREEN", answer, sizeof answer);
    return length > 0 && length < sizeof answer ? std::strtol(answer, nullptr, 10) : 0;
}

BOOL WINAPI MoveToScreen(int column, int row)
{
    char line[64]{};
    std::snprintf(line, sizeof line, "MoveToScreen(%d, %d)", column, row);
    Log(line);
    return TRUE;
}

} // extern "C"
