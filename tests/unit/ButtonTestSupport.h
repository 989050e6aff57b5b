// What the tests of the buttons with a target share: a toolbar to make
// buttons for, registry classes that live for one test, in-memory storages,
// and the echo program that reports the command line a button started it with.
#pragma once

#include "ToolbarFixture.h"
#include "buttons/ExecButton.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace button_test {

// Keys under HKEY_CLASSES_ROOT for one test, removed again afterwards unless
// they were there before.  Wine's HKEY_CLASSES_ROOT does not show the user's
// own classes (HKEY_CURRENT_USER\Software\Classes), so they are made here.
class ClassKeys
{
public:
    ClassKeys() = default;
    ClassKeys(const ClassKeys&) = delete;
    ClassKeys& operator=(const ClassKeys&) = delete;
    ~ClassKeys();

    // Sets the key's default value, making the key when needed.
    bool Set(const std::string& key, const std::string& value);

private:
    std::vector<std::string> m_created;
};

// A copy of the echo program in folder under name.  A non-zero version is
// written into the copy's header as the Windows version it expects (0x30A,
// 0x400 ...), which is what the shell reports for it.
std::string CopyEchoProgram(const std::string& folder, const std::string& name, WORD windowsVersion = 0);
// Removes what an earlier start of the program wrote.
void ForgetEcho(const std::string& program);
// The command line the program was started with, less the program's own name
// and the one blank after it; "<not started>" when it has not run in time.
std::string EchoedArguments(const std::string& program, DWORD timeoutMs = 5000);
// The folder the program started in (after EchoedArguments saw it run).
std::string EchoedFolder(const std::string& program);

// The file-system path that a button's two identifier lists name together.
std::string PathOfTarget(const CFileButton& button);

// An in-memory compound storage, as a toolbar file's button storage.
class MemoryStorage
{
public:
    MemoryStorage();
    IStorage* Get() const { return m_storage.Get(); }
    bool HasStream(const wchar_t* name) const;
    std::vector<unsigned char> StreamBytes(const wchar_t* name) const;
    bool PutStream(const wchar_t* name, const std::vector<unsigned char>& bytes);

private:
    CComPtr<IStorage> m_storage;
};

// An icon drawn into a 32-bit picture: the same pixels mean the same icon.
std::vector<DWORD> IconPixels(HIMAGELIST list, int index, int size);

} // namespace button_test

class ButtonTest : public ToolbarTest
{
protected:
    void SetUp() override;
    void TearDown() override;

    // The toolbar's creation data for a button read from a file of version.
    CreationData Data(DWORD version = kVersionCurrent) const;
    // A button of the kind with the toolbar's values but without a window,
    // as the toolbar file code makes it before reading its record.
    std::unique_ptr<CFileButton> NewButton(ButtonKind kind, DWORD version = kVersionCurrent);
    // A program button with its window on the toolbar, made from a path.
    CExecButton* AddProgramButton(const std::string& path);

    std::string m_folder;          // this test's own files
    CToolbar* m_toolbar = nullptr;
    button_test::ClassKeys m_classes;
};
