// A stand-in program for the tests that start programs: it writes the command
// line it was given and the folder it started in to "<its own path>.out", one
// per line, and ends.  Copies of it under other names write beside themselves.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    // Its own path is taken wide and long: a copy under a name the code page
    // cannot write would get question marks from the narrow call, and one
    // started by its short path would write beside itself under that name.
    wchar_t self[MAX_PATH]{};
    if (!GetModuleFileNameW(nullptr, self, MAX_PATH))
        return 1;
    wchar_t longSelf[MAX_PATH]{};
    const DWORD length = GetLongPathNameW(self, longSelf, MAX_PATH);
    const std::wstring output = std::wstring(length && length < MAX_PATH ? longSelf : self) + L".out";
    char folder[MAX_PATH]{};
    GetCurrentDirectoryA(sizeof folder, folder);
    const std::string text = std::string(GetCommandLineA()) + "\r\n" + folder + "\r\n";
    HANDLE file = CreateFileW(output.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size() ? 0 : 3;
}
