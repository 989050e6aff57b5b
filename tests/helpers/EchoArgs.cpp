// A stand-in program for the tests that start programs: it writes the command
// line it was given and the folder it started in to "<its own path>.out", one
// per line, and ends.  Copies of it under other names write beside themselves.
#include <windows.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH]{};
    if (!GetModuleFileNameA(nullptr, self, sizeof self))
        return 1;
    char folder[MAX_PATH]{};
    GetCurrentDirectoryA(sizeof folder, folder);
    const std::string text = std::string(GetCommandLineA()) + "\r\n" + folder + "\r\n";
    const std::string output = std::string(self) + ".out";
    HANDLE file = CreateFileA(output.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return 2;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size() ? 0 : 3;
}
