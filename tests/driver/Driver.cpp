#include "Driver.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace driver {

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (GetTickCount() - start >= timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

std::string ProgramFolder()
{
    char path[MAX_PATH]{};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path);
    const size_t slash = folder.find_last_of('\\');
    return slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
}

namespace {

// Empties a folder, its subfolders with it.
void EmptyFolder(const std::string& folder)
{
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyFolder(path);
            RemoveDirectoryA(path.c_str());
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

std::string MakeTempFolder(const std::string& name)
{
    char base[MAX_PATH]{};
    GetTempPathA(sizeof base, base);
    std::string root = std::string(base) + "lintel-tests";
    CreateDirectoryA(root.c_str(), nullptr);
    std::string folder = root + "\\" + name;
    // Start empty: a test run again in the same prefix finds what the last
    // run left, subfolders too.
    EmptyFolder(folder);
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Process::~Process()
{
    if (m_process)
        CloseHandle(m_process);
}

Process::Process(Process&& other) noexcept : m_process(other.m_process), m_id(other.m_id)
{
    other.m_process = nullptr;
    other.m_id = 0;
}

Process& Process::operator=(Process&& other) noexcept
{
    if (this != &other) {
        if (m_process)
            CloseHandle(m_process);
        m_process = other.m_process;
        m_id = other.m_id;
        other.m_process = nullptr;
        other.m_id = 0;
    }
    return *this;
}

namespace {

bool StartProcess(const std::string& program, const std::string& arguments, const std::string& folder,
                  HANDLE output, PROCESS_INFORMATION& info)
{
    std::string commandLine = "\"" + program + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back(0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (output) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = INVALID_HANDLE_VALUE;
        startup.hStdOutput = output;
        startup.hStdError = output;
    }
    return CreateProcessA(program.c_str(), buffer.data(), nullptr, nullptr, output ? TRUE : FALSE, 0, nullptr,
                          folder.empty() ? nullptr : folder.c_str(), &startup, &info)
           != FALSE;
}

} // namespace

bool Process::Start(const std::string& program, const std::string& arguments, const std::string& folder)
{
    return StartWithOutput(program, arguments, folder, "");
}

bool Process::StartWithOutput(const std::string& program, const std::string& arguments, const std::string& folder,
                              const std::string& outputPath)
{
    HANDLE output = nullptr;
    if (!outputPath.empty()) {
        SECURITY_ATTRIBUTES inherited{};
        inherited.nLength = sizeof inherited;
        inherited.bInheritHandle = TRUE;
        // The reader of an earlier run may still hold the file for a moment
        // after its process ended; a sharing violation passes soon.
        for (int attempt = 0; attempt < 30; ++attempt) {
            output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
            if (output != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION)
                break;
            Sleep(100);
        }
        if (output == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "Process: output file %s cannot be written, error %lu\n", outputPath.c_str(),
                         GetLastError());
            return false;
        }
    }
    PROCESS_INFORMATION info{};
    const bool started = StartProcess(program, arguments, folder, output, info);
    // The child holds its own copy of the handle.
    const DWORD error = GetLastError();
    if (output)
        CloseHandle(output);
    if (!started) {
        std::fprintf(stderr, "Process: %s cannot be started, error %lu\n", program.c_str(), error);
        return false;
    }
    CloseHandle(info.hThread);
    if (m_process)
        CloseHandle(m_process);
    m_process = info.hProcess;
    m_id = info.dwProcessId;
    return true;
}

bool Process::IsRunning() const
{
    return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT;
}

bool Process::WaitForExit(DWORD timeoutMs)
{
    if (!m_process)
        return true;
    return WaitUntil([this] { return !IsRunning(); }, timeoutMs);
}

DWORD Process::ExitCode() const
{
    DWORD code = STILL_ACTIVE;
    if (m_process)
        GetExitCodeProcess(m_process, &code);
    return code;
}

void Process::Kill()
{
    if (IsRunning()) {
        TerminateProcess(m_process, 99);
        WaitForSingleObject(m_process, 5000);
    }
}

namespace {

struct FindData {
    const char* className;
    const char* title;
    DWORD processId;
    HWND found;
    bool countAll;
    int count;
};

BOOL CALLBACK FindProc(HWND window, LPARAM param)
{
    auto* data = reinterpret_cast<FindData*>(param);
    if (data->className && ClassName(window) != data->className)
        return TRUE;
    if (data->title && WindowText(window) != data->title)
        return TRUE;
    if (data->processId && WindowProcess(window) != data->processId)
        return TRUE;
    data->found = window;
    ++data->count;
    return data->countAll;
}

} // namespace

HWND FindTopWindow(const char* className, const char* title, DWORD processId)
{
    FindData data{className, title, processId, nullptr, false, 0};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&data));
    return data.found;
}

int CountTopWindows(const char* className, const char* title, DWORD processId)
{
    FindData data{className, title, processId, nullptr, true, 0};
    EnumWindows(FindProc, reinterpret_cast<LPARAM>(&data));
    return data.count;
}

HWND WaitForWindow(const char* className, const char* title, DWORD timeoutMs, DWORD processId)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(className, title, processId)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitForWindowGone(HWND window, DWORD timeoutMs)
{
    return WaitUntil([window] { return !IsWindow(window); }, timeoutMs);
}

std::string WindowText(HWND window)
{
    char text[1024]{};
    // WM_GETTEXT rather than GetWindowText: the latter does not read the
    // text of another process's controls.
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000,
                        nullptr);
    return text;
}

std::string ClassName(HWND window)
{
    char name[256]{};
    GetClassNameA(window, name, sizeof name);
    return name;
}

DWORD WindowProcess(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    return processId;
}

HWND WaitForMessageBox(const char* caption, DWORD timeoutMs, DWORD processId)
{
    return WaitForWindow("#32770", caption, timeoutMs, processId);
}

namespace {

BOOL CALLBACK LongestStaticProc(HWND child, LPARAM param)
{
    auto* text = reinterpret_cast<std::string*>(param);
    if (ClassName(child) == "Static") {
        std::string childText = WindowText(child);
        if (childText.size() > text->size())
            *text = childText;
    }
    return TRUE;
}

} // namespace

std::string MessageBoxText(HWND box)
{
    // The message is the box's one static text that says anything; the icon
    // is a static without text.
    std::string text;
    EnumChildWindows(box, LongestStaticProc, reinterpret_cast<LPARAM>(&text));
    return text;
}

void MoveMouseTo(int x, int y)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void LeftButton(bool down)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
}

bool PressButton(HWND dialog, int buttonId)
{
    HWND button = GetDlgItem(dialog, buttonId);
    if (!button)
        return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

bool NoMessageBoxFor(const char* caption, DWORD timeoutMs, DWORD processId)
{
    return !WaitUntil([&] { return FindTopWindow("#32770", caption, processId) != nullptr; }, timeoutMs);
}

bool SetRegistryString(HKEY root, const char* key, const char* name, const char* value)
{
    return RegSetKeyValueA(root, key, name, REG_SZ, value, static_cast<DWORD>(std::strlen(value) + 1))
           == ERROR_SUCCESS;
}

bool SetRegistryDword(HKEY root, const char* key, const char* name, DWORD value)
{
    return RegSetKeyValueA(root, key, name, REG_DWORD, &value, sizeof value) == ERROR_SUCCESS;
}

bool ReadRegistryString(HKEY root, const char* key, const char* name, std::string& value)
{
    char buffer[1024]{};
    DWORD size = sizeof buffer - 1;
    if (RegGetValueA(root, key, name, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer, &size)
        != ERROR_SUCCESS)
        return false;
    value = buffer;
    return true;
}

bool ReadRegistryDword(HKEY root, const char* key, const char* name, DWORD& value)
{
    DWORD size = sizeof value;
    return RegGetValueA(root, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) == ERROR_SUCCESS;
}

bool DeleteRegistryValue(HKEY root, const char* key, const char* name)
{
    return RegDeleteKeyValueA(root, key, name) == ERROR_SUCCESS;
}

bool DeleteRegistryTree(HKEY root, const char* key)
{
    LSTATUS status = RegDeleteTreeA(root, key);
    if (status == ERROR_FILE_NOT_FOUND)
        return true;
    if (status != ERROR_SUCCESS)
        return false;
    // RegDeleteTree empties the key but leaves the key itself.
    status = RegDeleteKeyA(root, key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

std::vector<std::string> ReadTraceLines(const std::string& path)
{
    std::vector<std::string> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // "hh:mm:ss: text"
        if (line.size() >= 10 && line[2] == ':' && line[5] == ':' && line[8] == ':' && line[9] == ' ')
            line = line.substr(10);
        lines.push_back(line);
    }
    return lines;
}

bool HasLine(const std::vector<std::string>& lines, const std::string& line)
{
    for (const std::string& candidate : lines) {
        if (candidate == line)
            return true;
    }
    return false;
}

bool Screenshot(const std::string& name)
{
    // Windows of this process paint only when their messages are served.
    WaitUntil([] { return false; }, 300);
    char folderBuffer[MAX_PATH]{};
    std::string folder;
    if (GetEnvironmentVariableA("LINTEL_SCREENSHOTS_WIN", folderBuffer, sizeof folderBuffer))
        folder = folderBuffer;
    else
        folder = ProgramFolder() + "\\screenshots";
    CreateDirectoryA(folder.c_str(), nullptr);

    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap && bits) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, GetSystemMetrics(SM_XVIRTUALSCREEN),
               GetSystemMetrics(SM_YVIRTUALSCREEN), SRCCOPY);
        SelectObject(memory, old);
        GdiFlush();
        const DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) / 4) * 4;
        const DWORD imageSize = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        std::ofstream out(folder + "\\" + name + ".bmp", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(&file), sizeof file);
        out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        out.write(static_cast<const char*>(bits), imageSize);
        saved = out.good();
    }
    if (bitmap)
        DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

namespace {

struct ChildCount {
    const char* className;
    bool hiddenOnly;
    int count;
};

BOOL CALLBACK CountChild(HWND child, LPARAM param)
{
    auto* found = reinterpret_cast<ChildCount*>(param);
    if (ClassName(child) == found->className && (!found->hiddenOnly || !IsWindowVisible(child)))
        ++found->count;
    return TRUE;
}

BOOL CALLBACK KillOwner(HWND window, LPARAM param)
{
    if (ClassName(window) != reinterpret_cast<const char*>(param))
        return TRUE;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, WindowProcess(window));
    if (process) {
        TerminateProcess(process, 98);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    return TRUE;
}

} // namespace

int CountChildWindows(HWND parent, const char* className, bool hiddenOnly)
{
    ChildCount found{className, hiddenOnly, 0};
    EnumChildWindows(parent, CountChild, reinterpret_cast<LPARAM>(&found));
    return found.count;
}

void KillProgramsWithWindow(const char* className)
{
    EnumWindows(KillOwner, reinterpret_cast<LPARAM>(className));
}

std::vector<std::string> ReadLines(const std::string& path)
{
    std::ifstream file(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

HGLOBAL WideFileList(const std::vector<std::wstring>& paths)
{
    std::wstring list;
    for (const std::wstring& path : paths) {
        list += path;
        list.push_back(L'\0');
    }
    list.push_back(L'\0');
    const SIZE_T bytes = sizeof(DROPFILES) + list.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!memory)
        return nullptr;
    auto* block = static_cast<BYTE*>(GlobalLock(memory));
    auto* header = reinterpret_cast<DROPFILES*>(block);
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(block + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    return memory;
}

bool PutFileListOnClipboard(const std::vector<std::wstring>& paths)
{
    HGLOBAL memory = WideFileList(paths);
    if (!memory)
        return false;
    // The program may hold the clipboard open for a moment.
    bool opened = false;
    for (int attempt = 0; attempt < 200 && !(opened = OpenClipboard(nullptr) != FALSE); ++attempt)
        Sleep(5);
    if (!opened) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    const bool set = SetClipboardData(CF_HDROP, memory) != nullptr;
    CloseClipboard();
    if (!set)
        GlobalFree(memory);
    return set;
}

} // namespace driver
