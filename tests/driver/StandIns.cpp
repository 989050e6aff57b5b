#include "StandIns.h"

#include <ole2.h>
#include <shlobj.h>

#include "common/ComPtr.h"

#include <nlohmann/json.hpp>

#include <fstream>
#include <memory>

namespace driver {

namespace {

struct IdListFree {
    void operator()(ITEMIDLIST* list) const { CoTaskMemFree(list); }
};

// One argument as CommandLineToArgvW splits it again: quoted, with the
// backslashes before a quote doubled.
std::string Quoted(const std::string& argument)
{
    std::string quoted = "\"";
    size_t backslashes = 0;
    for (const char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"')
            quoted.append(backslashes * 2 + 1, '\\');
        else
            quoted.append(backslashes, '\\');
        backslashes = 0;
        quoted.push_back(c);
    }
    quoted.append(backslashes * 2, '\\');
    return quoted + "\"";
}

std::wstring Wide(const std::string& text, UINT codePage)
{
    const int chars = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(chars > 0 ? chars : 0, L'\0');
    if (chars > 0)
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), &wide[0], chars);
    return wide;
}

std::string Ansi(const std::string& utf8)
{
    const std::wstring wide = Wide(utf8, CP_UTF8);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr,
                                          nullptr);
    std::string ansi(bytes > 0 ? bytes : 0, '\0');
    if (bytes > 0)
        WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &ansi[0], bytes, nullptr, nullptr);
    return ansi;
}

std::vector<std::string> Texts(const nlohmann::json& line, const char* key)
{
    std::vector<std::string> texts;
    const auto found = line.find(key);
    if (found == line.end() || !found->is_array())
        return texts;
    for (const auto& text : *found) {
        if (text.is_string())
            texts.push_back(Ansi(text.get<std::string>()));
    }
    return texts;
}

template <class T>
T Value(const nlohmann::json& line, const char* key, T fallback)
{
    const auto found = line.find(key);
    if (found == line.end() || found->is_null())
        return fallback;
    try {
        return found->get<T>();
    } catch (const nlohmann::json::exception&) {
        return fallback;
    }
}

StandInRecord RecordOf(const nlohmann::json& line)
{
    StandInRecord record;
    record.seq = Value<unsigned>(line, "seq", 0);
    record.event = Value<std::string>(line, "event", "");
    record.wParam = Value<unsigned long long>(line, "wparam", 0);
    record.lParam = Value<unsigned long long>(line, "lparam", 0);
    const std::string atomState = Value<std::string>(line, "atomState", "none");
    record.atomState = atomState == "read"    ? StandInRecord::Atom::Read
                       : atomState == "stale" ? StandInRecord::Atom::Stale
                                              : StandInRecord::Atom::None;
    record.atom = Ansi(Value<std::string>(line, "atom", ""));
    record.clipboard = Value<bool>(line, "clipboard", false);
    record.formats = Texts(line, "formats");
    record.files = Texts(line, "files");
    record.items = Texts(line, "items");
    record.idListReadable = Value<bool>(line, "idListReadable", false);
    record.button = Value<bool>(line, "button", false);
    record.copy = Ansi(Value<std::string>(line, "copy", ""));
    record.dataId = Value<unsigned long long>(line, "dataId", 0);
    record.size = Value<unsigned long>(line, "size", 0);
    record.data = Value<std::string>(line, "data", "");
    return record;
}

} // namespace

std::vector<StandInRecord> ReadStandInLog(const std::string& path)
{
    std::vector<StandInRecord> records;
    std::ifstream file(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    size_t start = 0;
    // A last line without its end is still being written.
    for (size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
        const nlohmann::json line = nlohmann::json::parse(text.begin() + start, text.begin() + end, nullptr, false);
        if (line.is_object())
            records.push_back(RecordOf(line));
    }
    return records;
}

CompanionStandIn::~CompanionStandIn()
{
    Stop();
}

bool CompanionStandIn::Start(const std::string& folder, bool asMain, const std::vector<std::string>& toolbars,
                             int helpAnswer, const std::string& program)
{
    Stop();
    m_taken.clear();
    m_log = folder + "\\companion-standin.log";
    DeleteFileA(m_log.c_str());
    std::string arguments;
    if (asMain)
        arguments += "--main " + Quoted(m_log) + " --help-answer " + std::to_string(helpAnswer);
    for (const std::string& name : toolbars)
        arguments += " --toolbar " + Quoted(name);
    if (!m_process.Start(program.empty() ? ProgramFolder() + "\\companion_standin.exe" : program, arguments, folder))
        return false;
    if (asMain && !WaitForWindow("LintelMainWindow", "Lintel", kDefaultTimeout, m_process.Id()))
        return false;
    for (const std::string& name : toolbars) {
        if (!WaitForWindow("CToolbarWindow", name.c_str(), kDefaultTimeout, m_process.Id()))
            return false;
    }
    return true;
}

void CompanionStandIn::Stop()
{
    if (!m_process.IsRunning())
        return;
    HWND window = FindTopWindow(nullptr, nullptr, m_process.Id());
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (!m_process.WaitForExit(3000))
        m_process.Kill();
}

HWND CompanionStandIn::MainWindow() const
{
    return m_process.IsRunning() ? FindTopWindow("LintelMainWindow", "Lintel", m_process.Id()) : nullptr;
}

HWND CompanionStandIn::ToolbarWindow(const std::string& name) const
{
    return m_process.IsRunning() ? FindTopWindow("CToolbarWindow", name.c_str(), m_process.Id()) : nullptr;
}

bool CompanionStandIn::WaitForRecord(const std::string& event, StandInRecord& record, DWORD timeoutMs)
{
    size_t& taken = m_taken[event];
    return WaitUntil(
        [&] {
            size_t seen = 0;
            for (const StandInRecord& candidate : Records()) {
                if (candidate.event != event)
                    continue;
                if (seen++ == taken) {
                    record = candidate;
                    ++taken;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
}

bool PutShellItemsOnClipboard(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return false;
    const size_t slash = paths.front().find_last_of('\\');
    if (slash == std::string::npos)
        return false;
    const std::string folderPath = paths.front().substr(0, slash + 1);
    CComPtr<IShellFolder> desktop;
    if (FAILED(SHGetDesktopFolder(desktop.put())))
        return false;
    // A root keeps its backslash: "C:" alone names the current folder of the drive.
    std::wstring wideFolder = Wide(slash <= 2 ? folderPath : folderPath.substr(0, slash), CP_ACP);
    LPITEMIDLIST rawFolderId = nullptr;
    if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, &wideFolder[0], nullptr, &rawFolderId, nullptr)))
        return false;
    const std::unique_ptr<ITEMIDLIST, IdListFree> folderId(rawFolderId);
    CComPtr<IShellFolder> folder;
    if (FAILED(desktop->BindToObject(folderId.get(), nullptr, IID_IShellFolder, folder.put_void())))
        return false;
    std::vector<std::unique_ptr<ITEMIDLIST, IdListFree>> items;
    std::vector<LPCITEMIDLIST> itemIds;
    for (const std::string& path : paths) {
        if (path.compare(0, folderPath.size(), folderPath) != 0)
            return false;
        std::wstring name = Wide(path.substr(folderPath.size()), CP_ACP);
        LPITEMIDLIST item = nullptr;
        if (FAILED(folder->ParseDisplayName(nullptr, nullptr, &name[0], nullptr, &item, nullptr)))
            return false;
        items.emplace_back(item);
        itemIds.push_back(item);
    }
    CComPtr<IDataObject> data;
    if (FAILED(folder->GetUIObjectOf(nullptr, static_cast<UINT>(itemIds.size()), itemIds.data(), IID_IDataObject,
                                     nullptr, data.put_void())))
        return false;
    // Another program may hold the clipboard open for a moment (a receiver
    // emptying it after a paste): setting it is tried again for a while.
    HRESULT hr = E_FAIL;
    WaitUntil(
        [&] {
            hr = OleSetClipboard(data.Get());
            if (SUCCEEDED(hr))
                hr = OleFlushClipboard();
            return hr != CLIPBRD_E_CANT_OPEN;
        },
        3000);
    return SUCCEEDED(hr);
}

} // namespace driver
