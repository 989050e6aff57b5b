// A program button with a chosen virtual desktop, clicked in the real
// program: the virtual-desktop library is taken from beside the program (or
// the system folder) and never from the folder the program was started in,
// where anyone could have left a file of that name.
#include "LintelFixture.h"
#include "driver/ToolbarFiles.h"

#include <shlobj.h>

#include <iterator>

namespace {

constexpr const char* kLibraryName = "Mlv95Api.dll";

// A path's folder and its last item, as the button record stores them: each
// list as a 16-bit length (terminator included) and the bytes.
bool AppendItemPair(RecordBytes& record, const std::string& path)
{
    std::wstring wide(path.begin(), path.end());
    LPITEMIDLIST full = nullptr;
    if (FAILED(SHParseDisplayName(wide.c_str(), nullptr, &full, 0, nullptr)))
        return false;
    LPITEMIDLIST folder = ILClone(full);
    ILRemoveLastID(folder);
    auto put = [&record](const BYTE* bytes, UINT size) {
        record.U16(static_cast<uint16_t>(size));
        for (UINT i = 0; i < size; ++i)
            record.U8(bytes[i]);
    };
    put(reinterpret_cast<const BYTE*>(folder), ILGetSize(folder));
    const auto* last = reinterpret_cast<const BYTE*>(ILFindLastID(full));
    const UINT lastSize = ILFindLastID(full)->mkid.cb;
    std::vector<BYTE> item(last, last + lastSize);
    item.push_back(0);
    item.push_back(0);
    put(item.data(), static_cast<UINT>(item.size()));
    ILFree(folder);
    ILFree(full);
    return true;
}

// A program button of a current (0x23000) file that opens on a chosen desktop.
std::vector<uint8_t> DesktopButtonRecord(const std::string& target, const std::string& startIn, DWORD column,
                                         DWORD row)
{
    RecordBytes record;
    record.U32(2).Text(target);
    if (!AppendItemPair(record, target))
        return {};
    record.U32(1).Text("").Text(startIn).Text("Target").U32(1).Text(target).U32(0)
        .U32(0).U32(0).U32(2)       // no 8.3 names, no drops, shown normal
        .U32(0).U32(column).U32(row);   // not the current desktop
    return record.Bytes();
}

std::vector<std::string> ReadLines(const std::string& path)
{
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    std::vector<std::string> lines;
    std::string line;
    for (uint8_t byte : bytes) {
        if (byte == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (byte != '\r') {
            line += static_cast<char>(byte);
        }
    }
    return lines;
}

// Deletes a file once nothing holds it any more (a program that has just
// ended may still hold its own file for a moment).
bool DeleteWhenFree(const std::string& path)
{
    return driver::WaitUntil([&] { return DeleteFileA(path.c_str()) || GetLastError() == ERROR_FILE_NOT_FOUND; },
                             5000);
}

} // namespace

class VirtualDesktopProgramTest : public LintelProgramTest
{
protected:
    bool CopyFor(const std::string& from, const std::string& to)
    {
        m_copies.push_back(to);
        return CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
    }
    // Removes the copies once the programs have ended, whatever the test did.
    void TearDown() override
    {
        LintelProgramTest::TearDown();
        for (const std::string& copy : m_copies)
            EXPECT_TRUE(DeleteWhenFree(copy)) << copy;
        SetEnvironmentVariableA("LINTEL_VDESK_LOG", nullptr);
        SetEnvironmentVariableA("LINTEL_VDESK_SCREEN", nullptr);
    }
    // Ends the copy of the program a case started and removes the files it copied.
    void EndCase(driver::Process& lintel)
    {
        EXPECT_TRUE(Close(lintel));
        for (const std::string& copy : m_copies)
            EXPECT_TRUE(DeleteWhenFree(copy)) << copy;
        m_copies.clear();
    }

    std::vector<std::string> m_copies;
};

TEST_F(VirtualDesktopProgramTest, DesktopLibraryIsLoadedFromBesideTheProgramOnly)
{
    const std::string standIn = driver::ProgramFolder() + "\\standin\\" + kLibraryName;
    ASSERT_TRUE(driver::FileExists(standIn));
    const std::string target = m_folder + "\\target.exe";
    ASSERT_TRUE(CopyFileA((driver::ProgramFolder() + "\\echo_args.exe").c_str(), target.c_str(), FALSE));
    const std::string output = target + ".out";

    // The low 16 bits of the stored column and row are the desktop.
    RecordValues values;
    values.name = "Desktops";
    values.position = MAKELONG(300, 250);
    values.count = 1;
    CompoundContent content = FileWith(values, 0x23000);
    content.storages[L"BUTTON000"][L"DATA"] = DesktopButtonRecord(target, m_folder, 0x00070002, 1);
    ASSERT_FALSE(content.storages[L"BUTTON000"][L"DATA"].empty());
    const std::string file = m_folder + "\\desktops.ltl";
    ASSERT_TRUE(WriteCompoundFile(file, content));
    driver::SetRegistryDword(HKEY_CURRENT_USER, kUserKey, "NumToolbars", 1);
    driver::SetRegistryString(HKEY_CURRENT_USER, kUserKey, "Toolbar01", file.c_str());

    // A copy of the program in a folder of its own, for the library to lie beside.
    const std::string installed = driver::MakeTempFolder("VirtualDesktopProgramTest.installed");
    const std::string program = installed + "\\Lintel.exe";

    struct Case {
        bool besideProgram;   // else only in the folder the program starts in
        const char* screen;   // what the library says is the current desktop
        std::vector<std::string> wantLog;
    };
    const Case cases[] = {
        {false, "0", {}},
        {true, "0", {"Attach", "GetScreen()", "MoveToScreen(2, 1)"}},
        // No desktop can be told: nothing is moved.
        {true, "-1", {"Attach", "GetScreen()"}},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        const Case& entry = cases[i];
        const std::string log = m_folder + "\\vdesk" + std::to_string(i) + ".log";
        SetEnvironmentVariableA("LINTEL_VDESK_LOG", log.c_str());
        SetEnvironmentVariableA("LINTEL_VDESK_SCREEN", entry.screen);
        DeleteFileA(output.c_str());

        ASSERT_TRUE(CopyFor(standIn, (entry.besideProgram ? installed : m_folder) + "\\" + kLibraryName));
        if (entry.besideProgram) {
            ASSERT_TRUE(CopyFor(driver::ProgramFolder() + "\\Lintel.exe", program));
        }
        auto process = std::make_unique<driver::Process>();
        ASSERT_TRUE(process->Start(entry.besideProgram ? program : driver::ProgramFolder() + "\\Lintel.exe", "",
                                   m_folder));
        m_processes.push_back(std::move(process));
        driver::Process& lintel = *m_processes.back();

        HWND toolbar = driver::WaitForWindow("CToolbarWindow", "Desktops", driver::kDefaultTimeout, lintel.Id());
        ASSERT_NE(toolbar, nullptr);
        HWND button = nullptr;
        ASSERT_TRUE(driver::WaitUntil(
            [&] { return (button = FindWindowExA(toolbar, nullptr, "CToolButtonWindow", nullptr)) != nullptr; },
            3000));
        RECT rect{};
        GetWindowRect(button, &rect);
        driver::MoveMouseTo((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        driver::WaitUntil([] { return false; }, 200);
        driver::LeftButton(true);
        driver::WaitUntil([] { return false; }, 100);
        driver::LeftButton(false);
        // The target starts in every case: the library only chooses the desktop.
        EXPECT_TRUE(driver::WaitUntil([&] { return driver::FileExists(output); }, 5000));
        EXPECT_TRUE(driver::NoMessageBoxFor(nullptr, 300, lintel.Id()));
        EndCase(lintel);

        EXPECT_EQ(ReadLines(log), entry.wantLog);
    }
}
