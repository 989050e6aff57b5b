// A stand-in program for the tests that start programs: it writes the command
// line it was given and the folder it started in to "<its own path>.out", one
// per line, then the command line again as UTF-8 (the 8-bit line loses the
// letters the code page lacks), and ends.  Copies of it under other names
// write beside themselves.
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
    const wchar_t* wideLine = GetCommandLineW();
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wideLine, -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(bytes > 0 ? static_cast<size_t>(bytes) : 1u, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wideLine, -1, &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(utf8.size() - 1);
    const std::string text = std::string(GetCommandLineA()) + "\r\n" + folder + "\r\n" + utf8 + "\r\n";
    HANDLE file = CreateFileW(output.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size() ? 0 : 3;
}
