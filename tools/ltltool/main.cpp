// ltltool: toolbar files from the command line.  It reads and writes them with
// the program's own toolbar and button code, without any window.
//
//   ltltool dump FILE          what the program reads from FILE, as JSON
//   ltltool convert IN OUT     IN written to OUT in the current version
//   ltltool check FILE...      exit status 1 when any FILE cannot be opened
//   ltltool sample OUT         a small toolbar to try the program with
#include "app/MainApp.h"
#include "buttons/ExecButton.h"
#include "buttons/FileButton.h"
#include "buttons/GroupButton.h"
#include "buttons/ToolButton.h"
#include "common/ComPtr.h"
#include "common/DllSearch.h"
#include "common/Error.h"
#include "common/SafeStorage.h"
#include "common/Text.h"
#include "toolbars/Toolbar.h"

#include <nlohmann/json.hpp>

#include <cstdio>
#include <memory>
#include <string>

using nlohmann::ordered_json;

namespace {

const char* KindName(DWORD kind)
{
    switch (kind) {
    case kKindSpace: return "space";
    case kKindProgram: return "program";
    case kKindFolder: return "folder";
    case kKindGroup: return "group";
    case kKindUrl: return "url";
    default: return "unknown";
    }
}

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(value));
    return text;
}

// Texts in toolbar files are 8-bit in the ANSI code page; JSON wants UTF-8.
std::string Utf8(const char* text)
{
    if (!text || !*text)
        return std::string();
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<size_t>(wideLength > 0 ? wideLength : 1), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], wideLength);
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(length > 0 ? length : 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], length, nullptr, nullptr);
    utf8.resize(std::strlen(utf8.c_str()));
    return utf8;
}

// Which icon streams a button's storage holds, looked up in the file itself.
ordered_json IconsPresent(IStorage* root, int index, DWORD version)
{
    ordered_json icons = {{"small", false}, {"normal", false}, {"large", false}};
    if (!root || version <= kVersion11000)
        return icons;
    wchar_t name[16];
    swprintf(name, 16, L"BUTTON%03d", index);
    std::vector<StorageElement> elements;
    CComPtr<IStorage> button;
    if (!ListStorageElements(root, elements) || !HasElement(elements, name, STGTY_STORAGE)
        || FAILED(root->OpenStorage(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, button.put()))
        || !ListStorageElements(button.Get(), elements))
        return icons;
    const struct {
        const wchar_t* stream;
        const char* key;
    } names[] = {{L"SMALL", "small"}, {L"NORMAL", "normal"}, {L"LARGE", "large"}};
    for (const auto& entry : names)
        icons[entry.key] = HasElement(elements, entry.stream, STGTY_STREAM);
    return icons;
}

// A program button's recent documents, newest first, read from its storage
// as the program reads them when it opens the toolbar.
ordered_json RecentDocuments(IStorage* root, int index, DWORD version)
{
    ordered_json recent = ordered_json::array();
    if (!root || version <= kVersion11000)
        return recent;
    wchar_t name[16];
    swprintf(name, 16, L"BUTTON%03d", index);
    std::vector<StorageElement> elements;
    CComPtr<IStorage> button;
    if (!ListStorageElements(root, elements) || !HasElement(elements, name, STGTY_STORAGE)
        || FAILED(root->OpenStorage(name, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, button.put())))
        return recent;
    CRecentList list;
    list.ReadFromStorage(button.Get());
    for (int i = 0; i < list.Count(); ++i) {
        CText path;
        list.GetEntry(i, path);
        recent.push_back(Utf8(path.c_str()));
    }
    return recent;
}

ordered_json DumpButton(const CToolButton& button)
{
    ordered_json out;
    out["kind"] = static_cast<unsigned long>(button.Kind());
    out["kindName"] = KindName(button.Kind());
    if (button.Kind() == kKindSpace)
        return out;
    out["description"] = Utf8(button.Description().c_str());
    out["targetOk"] = button.IsTargetOk() != FALSE;
    const auto* file = dynamic_cast<const CFileButton*>(&button);
    if (!file)
        return out;
    out["fileName"] = Utf8(file->FileName().c_str());
    out["folderIdBytes"] = file->FolderId().Length(nullptr);
    out["itemIdBytes"] = file->ItemId().Length(nullptr);
    out["fileSystem"] = file->IsFileSystem() != FALSE;
    out["defaultIcon"] = file->IsDefaultIcon() != FALSE;
    out["iconFile"] = Utf8(file->IconFile().c_str());
    out["iconIndex"] = file->IconIndex();
    out["allowDrops"] = file->AllowsDrops() != FALSE;
    out["showState"] = file->GetShowState();
    out["useCurrentDesktop"] = file->UseCurrentDesktop() != FALSE;
    out["desktopX"] = static_cast<unsigned long>(file->DesktopX());
    out["desktopY"] = static_cast<unsigned long>(file->DesktopY());
    if (const auto* program = dynamic_cast<const CExecButton*>(&button)) {
        out["parameters"] = Utf8(program->Parameters().c_str());
        out["startIn"] = Utf8(program->StartIn().c_str());
        out["convertTo83"] = program->ConvertTo83() != FALSE;
    }
    if (const auto* group = dynamic_cast<const CGroupButton*>(&button))
        out["startEvery"] = group->StartsEvery() != FALSE;
    return out;
}

ordered_json DumpToolbar(CToolbar& toolbar, IStorage* root)
{
    ordered_json out;
    const ToolbarSettings& settings = toolbar.Settings();
    out["version"] = Hex(toolbar.Version());
    out["name"] = Utf8(settings.name.c_str());
    out["position"] = {{"x", settings.position.x}, {"y", settings.position.y}};
    out["docked"] = settings.docked != FALSE;
    out["dockCorner"] = settings.dockCorner;
    out["orientation"] = settings.orientation == kHorizontal ? "horizontal" : "vertical";
    out["buttonsPerLine"] = settings.buttonsPerLine;
    out["alwaysOnTop"] = settings.alwaysOnTop != FALSE;
    out["hidden"] = settings.hidden != FALSE;
    out["buttonCount"] = toolbar.Count();
    if (toolbar.Version() > kVersion11000) {
        out["useGradient"] = settings.useGradient != FALSE;
        out["startIsSystem"] = settings.startIsSystem != FALSE;
        out["endIsSystem"] = settings.endIsSystem != FALSE;
        out["startColour"] = Hex(settings.startColour);
        out["endColour"] = Hex(settings.endColour);
        out["buttonSize"] = settings.buttonSize;
        out["border"] = settings.border;
        out["showDescription"] = settings.showDescription != FALSE;
        out["showButtonBackground"] = settings.showButtonBackground != FALSE;
        out["showMenuButtons"] = settings.showMenuButtons != FALSE;
        out["autohide"] = settings.autohide != FALSE;
    }
    if (toolbar.Version() > kVersion21000) {
        const ToolbarProtection& protection = settings.protection;
        out["protected"] = protection.enabled != FALSE;
        out["passwordRequired"] = protection.passwordRequired != FALSE;
        out["passwordSet"] = !protection.password.IsEmpty();
        out["protectionLevel"] = Hex(protection.level);
        out["quickUnlockOption"] = protection.quickUnlockOption != FALSE;
    }
    ordered_json buttons = ordered_json::array();
    for (int i = 0; i < toolbar.Count(); ++i) {
        ordered_json button = DumpButton(*toolbar.Button(i));
        button["index"] = i;
        if (toolbar.Button(i)->Kind() != kKindSpace)
            button["icons"] = IconsPresent(root, i, toolbar.Version());
        if (toolbar.Button(i)->Kind() == kKindProgram)
            button["recent"] = RecentDocuments(root, i, toolbar.Version());
        buttons.push_back(button);
    }
    out["buttons"] = buttons;
    return out;
}

std::unique_ptr<CToolbar> OpenToolbar(const char* path)
{
    auto toolbar = std::make_unique<CToolbar>(nullptr, nullptr, nullptr);
    if (!toolbar->Open(path, 2))
        return nullptr;
    return toolbar;
}

int Dump(const char* path)
{
    auto toolbar = OpenToolbar(path);
    if (!toolbar) {
        std::fprintf(stderr, "ltltool: %s: cannot be read as a toolbar\n", path);
        return 1;
    }
    CComPtr<IStorage> root;
    OpenCompoundFile(path, root.put());
    ordered_json out = DumpToolbar(*toolbar, root.Get());
    out["file"] = Utf8(path);
    std::printf("%s\n", out.dump(2).c_str());
    return 0;
}

int Convert(const char* input, const char* output)
{
    auto toolbar = OpenToolbar(input);
    if (!toolbar) {
        std::fprintf(stderr, "ltltool: %s: cannot be read as a toolbar\n", input);
        return 1;
    }
    if (!toolbar->WriteToFile(output, kVersionCurrent)) {
        std::fprintf(stderr, "ltltool: %s: cannot be written\n", output);
        return 1;
    }
    return 0;
}

int Check(int count, char** paths)
{
    int bad = 0;
    for (int i = 0; i < count; ++i) {
        if (OpenToolbar(paths[i])) {
            std::printf("ok %s\n", paths[i]);
        } else {
            std::printf("bad %s\n", paths[i]);
            ++bad;
        }
    }
    return bad ? 1 : 0;
}

int Sample(const char* output)
{
    CToolbar toolbar(nullptr, nullptr, nullptr);
    toolbar.SetTitle("Sample");
    toolbar.ChangeSettings([](ToolbarSettings& settings) { settings.showDescription = TRUE; });
    char windows[MAX_PATH]{};
    GetWindowsDirectoryA(windows, sizeof windows);
    const std::string folder(windows);
    const std::string programs[] = {folder + "\\notepad.exe", folder + "\\regedit.exe"};
    for (const std::string& program : programs) {
        if (GetFileAttributesA(program.c_str()) != INVALID_FILE_ATTRIBUTES)
            toolbar.AddButtonFromPath(program.c_str());
    }
    toolbar.AddButton(kKindSpace, nullptr);
    toolbar.AddButtonFromPath(folder.substr(0, 3).c_str());
    if (!toolbar.WriteToFile(output, kVersionCurrent)) {
        std::fprintf(stderr, "ltltool: %s: cannot be written\n", output);
        return 1;
    }
    return 0;
}

int Usage()
{
    std::fprintf(stderr, "usage: ltltool dump FILE\n"
                         "       ltltool convert IN OUT\n"
                         "       ltltool check FILE...\n"
                         "       ltltool sample OUT\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    RestrictLibrarySearch();
    if (argc < 3)
        return Usage();
    if (FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "ltltool: OLE could not be initialised\n");
        return 3;
    }
    int result = 0;
    try {
        const std::string command = argv[1];
        if (command == "dump" && argc == 3)
            result = Dump(argv[2]);
        else if (command == "convert" && argc == 4)
            result = Convert(argv[2], argv[3]);
        else if (command == "sample" && argc == 3)
            result = Sample(argv[2]);
        else if (command == "check")
            result = Check(argc - 2, argv + 2);
        else
            result = Usage();
    } catch (const CError& error) {
        std::fprintf(stderr, "ltltool: %s\n", error.Text());
        result = 3;
    }
    OleUninitialize();
    return result;
}
