#include "RemoteControls.h"

#include <commctrl.h>

#include <cstring>

namespace driver {

namespace {

// A block of memory inside the process that owns a window.
class RemoteBuffer
{
public:
    RemoteBuffer(HWND window, size_t size) : m_size(size)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        m_process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (m_process)
            m_address = VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBuffer()
    {
        if (m_address)
            VirtualFreeEx(m_process, m_address, 0, MEM_RELEASE);
        if (m_process)
            CloseHandle(m_process);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool IsValid() const { return m_address != nullptr; }
    char* Address() const { return static_cast<char*>(m_address); }
    bool Write(size_t offset, const void* data, size_t size)
    {
        SIZE_T written = 0;
        return offset + size <= m_size && WriteProcessMemory(m_process, Address() + offset, data, size, &written)
               && written == size;
    }
    bool Read(size_t offset, void* data, size_t size) const
    {
        SIZE_T read = 0;
        return offset + size <= m_size && ReadProcessMemory(m_process, Address() + offset, data, size, &read)
               && read == size;
    }

private:
    HANDLE m_process = nullptr;
    void* m_address = nullptr;
    size_t m_size;
};

constexpr size_t kTextRoom = 1024;

} // namespace

std::string ControlText(HWND control)
{
    char text[kTextRoom]{};
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                             &result))
        return std::string();
    text[sizeof text - 1] = 0;
    return text;
}

std::vector<std::string> ComboTexts(HWND combo)
{
    std::vector<std::string> texts;
    const LRESULT count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // CB_GETLBTEXT is marshalled for another process as WM_GETTEXT is.
        // Wine 8 hands an ANSI caller the entry as UTF-16 when it comes
        // from another process: room for that, and a conversion.
        const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, i, 0);
        if (length < 0 || length >= static_cast<LRESULT>(kTextRoom))
            continue;
        std::vector<char> buffer(kTextRoom * 2, '\0');
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        buffer[buffer.size() - 1] = 0;
        buffer[buffer.size() - 2] = 0;
        std::string text(buffer.data());
        if (length > 1 && buffer[0] != 0 && buffer[1] == 0) {
            const wchar_t* wide = reinterpret_cast<const wchar_t*>(buffer.data());
            char narrow[kTextRoom * 2]{};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
            text = narrow;
        }
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::string> ListBoxTexts(HWND list)
{
    std::vector<std::string> texts;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        // Marshalled like CB_GETLBTEXT, with the same UTF-16 answer to an
        // ANSI caller from another process under Wine 8.
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        if (length < 0 || length >= static_cast<LRESULT>(kTextRoom))
            continue;
        std::vector<char> buffer(kTextRoom * 2, '\0');
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        buffer[buffer.size() - 1] = 0;
        buffer[buffer.size() - 2] = 0;
        std::string text(buffer.data());
        if (length > 1 && buffer[0] != 0 && buffer[1] == 0) {
            const wchar_t* wide = reinterpret_cast<const wchar_t*>(buffer.data());
            char narrow[kTextRoom * 2]{};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, narrow, sizeof narrow - 1, nullptr, nullptr);
            text = narrow;
        }
        texts.push_back(text);
    }
    return texts;
}

std::vector<std::string> ListViewTexts(HWND list, int column)
{
    std::vector<std::string> texts;
    RemoteBuffer buffer(list, sizeof(LVITEMA) + kTextRoom);
    if (!buffer.IsValid())
        return texts;
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.iSubItem = column;
        item.pszText = buffer.Address() + sizeof(LVITEMA);
        item.cchTextMax = static_cast<int>(kTextRoom);
        char text[kTextRoom]{};
        if (!buffer.Write(0, &item, sizeof item)
            || SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(buffer.Address())) < 0
            || !buffer.Read(sizeof(LVITEMA), text, sizeof text))
            break;
        text[sizeof text - 1] = 0;
        texts.push_back(text);
    }
    return texts;
}

bool ListViewSelect(HWND list, int item)
{
    RemoteBuffer buffer(list, sizeof(LVITEMA));
    if (!buffer.IsValid())
        return false;
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!buffer.Write(0, &state, sizeof state))
        return false;
    return SendMessageA(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(buffer.Address())) != 0;
}

bool ListViewItemRect(HWND list, int item, RECT& rect)
{
    RemoteBuffer buffer(list, sizeof(RECT));
    if (!buffer.IsValid())
        return false;
    RECT bounds{};
    bounds.left = LVIR_BOUNDS;
    if (!buffer.Write(0, &bounds, sizeof bounds)
        || !SendMessageA(list, LVM_GETITEMRECT, item, reinterpret_cast<LPARAM>(buffer.Address()))
        || !buffer.Read(0, &rect, sizeof rect))
        return false;
    MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return true;
}

int ToolbarButtonState(HWND toolbar, int command)
{
    return static_cast<int>(SendMessageA(toolbar, TB_GETSTATE, command, 0));
}

} // namespace driver
