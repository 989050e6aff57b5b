#include "ButtonTestSupport.h"

#include "buttons/ButtonFactory.h"
#include "driver/Driver.h"

#include <cstddef>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

namespace button_test {

namespace {

bool KeyExists(const std::string& key)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

std::vector<char> ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The echo program's two lines: command line and start folder.
bool EchoLines(const std::string& program, std::string& commandLine, std::string& folder)
{
    const std::vector<char> bytes = ReadWholeFile(program + ".out");
    const std::string text(bytes.begin(), bytes.end());
    const size_t first = text.find("\r\n");
    if (first == std::string::npos)
        return false;
    const size_t second = text.find("\r\n", first + 2);
    if (second == std::string::npos)
        return false;
    commandLine = text.substr(0, first);
    folder = text.substr(first + 2, second - first - 2);
    return true;
}

} // namespace

ClassKeys::~ClassKeys()
{
    for (auto key = m_created.rbegin(); key != m_created.rend(); ++key)
        driver::DeleteRegistryTree(HKEY_CLASSES_ROOT, key->c_str());
}

bool ClassKeys::Set(const std::string& key, const std::string& value)
{
    // The first component is what a later removal takes away with it.
    const std::string top = key.substr(0, key.find('\\'));
    if (!KeyExists(top))
        m_created.push_back(top);
    return driver::SetRegistryString(HKEY_CLASSES_ROOT, key.c_str(), nullptr, value.c_str());
}

std::string CopyEchoProgram(const std::string& folder, const std::string& name, WORD windowsVersion)
{
    const std::string source = driver::ProgramFolder() + "\\echo_args.exe";
    const std::string target = folder + "\\" + name;
    std::vector<char> image = ReadWholeFile(source);
    if (image.size() < sizeof(IMAGE_DOS_HEADER))
        return std::string();
    if (windowsVersion) {
        // The subsystem version lies at the same place in 32- and 64-bit headers.
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image.data());
        const size_t optional = static_cast<size_t>(dos->e_lfanew) + 4 + sizeof(IMAGE_FILE_HEADER);
        const size_t major = optional + offsetof(IMAGE_OPTIONAL_HEADER32, MajorSubsystemVersion);
        const size_t minor = optional + offsetof(IMAGE_OPTIONAL_HEADER32, MinorSubsystemVersion);
        static_assert(offsetof(IMAGE_OPTIONAL_HEADER32, MajorSubsystemVersion)
                          == offsetof(IMAGE_OPTIONAL_HEADER64, MajorSubsystemVersion),
                      "one place for both headers");
        if (minor + 2 > image.size())
            return std::string();
        const WORD majorValue = HIBYTE(windowsVersion);
        const WORD minorValue = LOBYTE(windowsVersion);
        std::memcpy(&image[major], &majorValue, 2);
        std::memcpy(&image[minor], &minorValue, 2);
    }
    std::ofstream file(target, std::ios::binary | std::ios::trunc);
    file.write(image.data(), static_cast<std::streamsize>(image.size()));
    return file.good() ? target : std::string();
}

void ForgetEcho(const std::string& program)
{
    DeleteFileA((program + ".out").c_str());
}

std::string EchoedArguments(const std::string& program, DWORD timeoutMs)
{
    std::string commandLine;
    std::string folder;
    if (!driver::WaitUntil([&] { return EchoLines(program, commandLine, folder); }, timeoutMs))
        return "<not started>";
    // The program's name, quoted or not, then one blank.
    size_t end = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        end = commandLine.find(' ');
        end = end == std::string::npos ? commandLine.size() : end;
    }
    if (end < commandLine.size() && commandLine[end] == ' ')
        ++end;
    return commandLine.substr(end);
}

std::string EchoedFolder(const std::string& program)
{
    std::string commandLine;
    std::string folder;
    return EchoLines(program, commandLine, folder) ? folder : std::string();
}

std::string PathOfTarget(const CFileButton& button)
{
    CItemId full(button.FolderId());
    char path[MAX_PATH]{};
    if (button.ItemId().IsDesktop() || !full.Append(button.ItemId()) || !SHGetPathFromIDListA(full.List(), path))
        return std::string();
    return path;
}

MemoryStorage::MemoryStorage()
{
    CComPtr<ILockBytes> bytes;
    if (SUCCEEDED(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put())))
        StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                     m_storage.put());
}

bool MemoryStorage::HasStream(const wchar_t* name) const
{
    CComPtr<IStream> stream;
    return m_storage
           && SUCCEEDED(m_storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put()));
}

std::vector<unsigned char> MemoryStorage::StreamBytes(const wchar_t* name) const
{
    CComPtr<IStream> stream;
    if (!m_storage || FAILED(m_storage->OpenStream(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put())))
        return {};
    STATSTG stat{};
    stream->Stat(&stat, STATFLAG_NONAME);
    std::vector<unsigned char> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
    ULONG got = 0;
    if (!bytes.empty())
        stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &got);
    return bytes;
}

bool MemoryStorage::PutStream(const wchar_t* name, const std::vector<unsigned char>& bytes)
{
    CComPtr<IStream> stream;
    if (!m_storage
        || FAILED(m_storage->CreateStream(name, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0, stream.put())))
        return false;
    ULONG written = 0;
    return bytes.empty()
           || (SUCCEEDED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written))
               && written == bytes.size());
}

std::vector<DWORD> IconPixels(HIMAGELIST list, int index, int size)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size;
    info.bmiHeader.biHeight = size;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    ReleaseDC(nullptr, screen);
    HBITMAP picture = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    std::vector<DWORD> pixels;
    if (picture && bits) {
        HGDIOBJ old = SelectObject(memory, picture);
        RECT all{0, 0, size, size};
        FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
        ImageList_Draw(list, index, memory, 0, 0, ILD_TRANSPARENT);
        GdiFlush();
        const auto* first = static_cast<const DWORD*>(bits);
        pixels.assign(first, first + static_cast<size_t>(size) * size);
        // The alpha byte says nothing about what is seen.
        for (DWORD& pixel : pixels)
            pixel &= 0x00FFFFFF;
        SelectObject(memory, old);
    }
    if (picture)
        DeleteObject(picture);
    DeleteDC(memory);
    return pixels;
}

} // namespace button_test

void ButtonTest::SetUp()
{
    ToolbarTest::SetUp();
    m_folder = driver::MakeTempFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    m_toolbar = MakeToolbar("Button test");
    // Wine's registry has no ".exe" class; Windows has, and program buttons
    // are made only for registered types.
    m_classes.Set(".exe", "exefile");
}

void ButtonTest::TearDown()
{
    ToolbarTest::TearDown();
}

CreationData ButtonTest::Data(DWORD version) const
{
    CreationData data;
    m_toolbar->StoreCreationData(data);
    data.version = version;
    return data;
}

std::unique_ptr<CFileButton> ButtonTest::NewButton(ButtonKind kind, DWORD version)
{
    std::unique_ptr<CFileButton> button(static_cast<CFileButton*>(NewButtonOfKind(kind, m_toolbar, m_app.get()).release()));
    if (button)
        button->Create(Data(version), 2);
    return button;
}

CExecButton* ButtonTest::AddProgramButton(const std::string& path)
{
    auto button = std::make_unique<CExecButton>(m_toolbar, m_app.get(), nullptr);
    if (!button->Create(path.c_str(), Data(), 3))
        return nullptr;
    return InsertButton(m_toolbar, button.release());
}
