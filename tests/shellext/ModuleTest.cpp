// ltlext.dll as the shell finds and loads it: the keys its registration
// writes and removes, the class objects and interfaces it serves, and when it
// lets the shell unload it while several threads make and drop objects.
#include "ShellExtensionSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <iterator>
#include <thread>
#include <vector>

using namespace shellext;

namespace {

constexpr const char* kMenuKey = "CLSID\\{C43D4080-E099-11D0-A191-444553540000}";
constexpr const char* kFindKey = "CLSID\\{C43D4081-E099-11D0-A191-444553540000}";
constexpr const char* kFindEntry = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FindExtensions\\Static\\"
                                   "LintelExplorer";
constexpr const char* kApproved = "Software\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";

struct RegistryValue {
    HKEY root;
    std::string key;
    const char* name;
    std::string text;
};

std::vector<RegistryValue> ExpectedValues()
{
    const std::string library = LibraryPath();
    const std::string folder = library.substr(0, library.find_last_of('\\'));
    return {
        {HKEY_CLASSES_ROOT, kMenuKey, "", "Lintel toolbar menu"},
        {HKEY_CLASSES_ROOT, std::string(kMenuKey) + "\\InprocServer32", "", library},
        {HKEY_CLASSES_ROOT, std::string(kMenuKey) + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {HKEY_CLASSES_ROOT, kFindKey, "", "Lintel Explorer search"},
        {HKEY_CLASSES_ROOT, std::string(kFindKey) + "\\InprocServer32", "", library},
        {HKEY_CLASSES_ROOT, std::string(kFindKey) + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {HKEY_CLASSES_ROOT, "*\\shellex\\ContextMenuHandlers\\Lintel", "", "{C43D4080-E099-11D0-A191-444553540000}"},
        {HKEY_CLASSES_ROOT, "Folder\\shellex\\ContextMenuHandlers\\Lintel", "",
         "{C43D4080-E099-11D0-A191-444553540000}"},
        {HKEY_LOCAL_MACHINE, kFindEntry, "", "{C43D4081-E099-11D0-A191-444553540000}"},
        {HKEY_LOCAL_MACHINE, std::string(kFindEntry) + "\\0", "", "With Lintel &Explorer..."},
        {HKEY_LOCAL_MACHINE, std::string(kFindEntry) + "\\0\\DefaultIcon", "", folder + "\\Lintel Explorer.exe,0"},
        {HKEY_LOCAL_MACHINE, kApproved, "{C43D4080-E099-11D0-A191-444553540000}", "Lintel toolbar menu"},
        {HKEY_LOCAL_MACHINE, kApproved, "{C43D4081-E099-11D0-A191-444553540000}", "Lintel Explorer search"},
    };
}

bool ReadText(HKEY root, const std::string& key, const char* name, REGSAM view, std::string& text)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return false;
    char value[1024]{};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    const LONG status = RegQueryValueExA(opened, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(opened);
    text = value;
    return status == ERROR_SUCCESS && type == REG_SZ;
}

bool KeyExists(HKEY root, const std::string& key, REGSAM view)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, &opened) != ERROR_SUCCESS)
        return false;
    RegCloseKey(opened);
    return true;
}

HRESULT CanUnloadNow()
{
    return Exports().canUnloadNow();
}

class ShellModuleTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        ASSERT_NE(Exports().getClassObject, nullptr);
        ASSERT_NE(Exports().canUnloadNow, nullptr);
    }
    void TearDown() override { CoUninitialize(); }
};

} // namespace

TEST_F(ShellModuleTest, RegistrationWritesExactlyItsKeysInTheLibrarysViewAndUnregistrationRemovesThem)
{
    const std::vector<RegistryValue> expected = ExpectedValues();
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(expected[i].key + " : " + expected[i].name);
        std::string text;
        EXPECT_TRUE(ReadText(expected[i].root, expected[i].key, expected[i].name, OwnView(), text));
        EXPECT_EQ(text, expected[i].text);
    }
    // A shell of the other bitness must not find a library it cannot load.
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kMenuKey, OtherView()));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kFindKey, OtherView()));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kFindEntry, OtherView()));

    ASSERT_EQ(RunRegistrationTool("unregister \"" + LibraryPath() + "\""), 0);
    for (const char* key : {kMenuKey, kFindKey, "*\\shellex\\ContextMenuHandlers\\Lintel",
                            "Folder\\shellex\\ContextMenuHandlers\\Lintel"}) {
        SCOPED_TRACE(key);
        EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, key, OwnView()));
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kFindEntry, OwnView()));
    std::string text;
    EXPECT_FALSE(ReadText(HKEY_LOCAL_MACHINE, kApproved, "{C43D4080-E099-11D0-A191-444553540000}", OwnView(), text));
    EXPECT_FALSE(ReadText(HKEY_LOCAL_MACHINE, kApproved, "{C43D4081-E099-11D0-A191-444553540000}", OwnView(), text));
    // What the shell shares with other programs stays.
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "CLSID", OwnView()));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kApproved, OwnView()));
    CComPtr<IContextMenu> menu;
    EXPECT_EQ(CoCreateInstance(kToolbarMenuClass, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, menu.put_void()),
              REGDB_E_CLASSNOTREG);
    // Removing twice is no failure; a file that is no library is refused.
    EXPECT_EQ(RunRegistrationTool("unregister \"" + LibraryPath() + "\""), 0);
    EXPECT_EQ(RunRegistrationTool("register \"" + driver::ProgramFolder() + "\\ltlextreg.exe\""), 1);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kMenuKey, OwnView()));

    ASSERT_EQ(RunRegistrationTool("register \"" + LibraryPath() + "\""), 0);
    EXPECT_EQ(CoCreateInstance(kToolbarMenuClass, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, menu.put_void()),
              S_OK);
}

TEST_F(ShellModuleTest, ClassObjectsAndInterfacesAreThoseOfTheTwoClasses)
{
    const CLSID otherClass = {0xC43D4082, 0xE099, 0x11D0, {0xA1, 0x91, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
    struct FactoryCase {
        const CLSID* clsid;
        const IID* iid;
        HRESULT want;
    };
    const FactoryCase factories[] = {
        {&kToolbarMenuClass, &IID_IClassFactory, S_OK},
        {&kExplorerCommandClass, &IID_IClassFactory, S_OK},
        {&kToolbarMenuClass, &IID_IUnknown, S_OK},
        {&kToolbarMenuClass, &IID_IContextMenu, E_NOINTERFACE},
        {&otherClass, &IID_IClassFactory, CLASS_E_CLASSNOTAVAILABLE},
    };
    for (size_t i = 0; i < std::size(factories); ++i) {
        SCOPED_TRACE(i);
        void* object = reinterpret_cast<void*>(1);
        EXPECT_EQ(Exports().getClassObject(*factories[i].clsid, *factories[i].iid, &object), factories[i].want);
        EXPECT_EQ(object != nullptr, factories[i].want == S_OK);
        if (object)
            static_cast<IUnknown*>(object)->Release();
    }

    for (const CLSID* clsid : {&kToolbarMenuClass, &kExplorerCommandClass}) {
        SCOPED_TRACE(clsid == &kToolbarMenuClass ? "menu" : "find");
        CComPtr<IClassFactory> factory;
        ASSERT_EQ(Exports().getClassObject(*clsid, IID_IClassFactory, factory.put_void()), S_OK);
        CComPtr<IUnknown> outer;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, outer.put_void()), S_OK);
        void* aggregated = reinterpret_cast<void*>(1);
        EXPECT_EQ(factory->CreateInstance(outer.Get(), IID_IUnknown, &aggregated), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(aggregated, nullptr);

        struct InterfaceCase {
            const IID* iid;
            HRESULT want;
        };
        const InterfaceCase interfaces[] = {
            {&IID_IContextMenu, S_OK},   {&IID_IShellExtInit, S_OK},    {&IID_IUnknown, S_OK},
            {&IID_IContextMenu2, E_NOINTERFACE}, {&IID_IDataObject, E_NOINTERFACE}, {&IID_IClassFactory, E_NOINTERFACE},
        };
        for (size_t i = 0; i < std::size(interfaces); ++i) {
            SCOPED_TRACE(i);
            void* object = reinterpret_cast<void*>(1);
            EXPECT_EQ(outer->QueryInterface(*interfaces[i].iid, &object), interfaces[i].want);
            EXPECT_EQ(object != nullptr, interfaces[i].want == S_OK);
            if (object)
                static_cast<IUnknown*>(object)->Release();
        }
        // One identity whichever interface it is asked through.
        CComPtr<IContextMenu> menu;
        CComPtr<IShellExtInit> init;
        ASSERT_EQ(outer->QueryInterface(IID_IContextMenu, menu.put_void()), S_OK);
        ASSERT_EQ(outer->QueryInterface(IID_IShellExtInit, init.put_void()), S_OK);
        CComPtr<IUnknown> viaMenu;
        CComPtr<IUnknown> viaInit;
        menu->QueryInterface(IID_IUnknown, viaMenu.put_void());
        init->QueryInterface(IID_IUnknown, viaInit.put_void());
        EXPECT_EQ(viaMenu.Get(), viaInit.Get());
    }
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(ShellModuleTest, ALockOrAnyLiveObjectKeepsTheLibraryLoaded)
{
    ASSERT_EQ(CanUnloadNow(), S_OK);
    CComPtr<IClassFactory> factory;
    ASSERT_EQ(Exports().getClassObject(kToolbarMenuClass, IID_IClassFactory, factory.put_void()), S_OK);
    EXPECT_EQ(CanUnloadNow(), S_FALSE);
    CComPtr<IContextMenu> menu;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IContextMenu, menu.put_void()), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory.Reset();
    EXPECT_EQ(CanUnloadNow(), S_FALSE);   // the menu and the lock
    menu.Reset();
    EXPECT_EQ(CanUnloadNow(), S_FALSE);   // the lock
    ASSERT_EQ(Exports().getClassObject(kToolbarMenuClass, IID_IClassFactory, factory.put_void()), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory.Reset();
    EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(ShellModuleTest, FourThreadsMakingAndDroppingObjectsNeverLetTheLibraryGoWhileOneLives)
{
    constexpr int kThreads = 4;
    constexpr int kRounds = 400;
    std::atomic<int> holding{0};
    std::atomic<bool> release{false};
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
                ++failures;
                ++holding;
                return;
            }
            const CLSID& clsid = t % 2 ? kExplorerCommandClass : kToolbarMenuClass;
            {
                // Each thread holds one object from before the others start
                // until the main thread has stopped asking.
                CComPtr<IContextMenu> kept;
                if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, kept.put_void())))
                    ++failures;
                ++holding;
                for (int round = 0; round < kRounds; ++round) {
                    CComPtr<IClassFactory> factory;
                    CComPtr<IShellExtInit> init;
                    if (FAILED(Exports().getClassObject(clsid, IID_IClassFactory, factory.put_void()))
                        || FAILED(factory->CreateInstance(nullptr, IID_IShellExtInit, init.put_void()))) {
                        ++failures;
                        continue;
                    }
                    factory->LockServer(TRUE);
                    CComPtr<IContextMenu> menu;
                    init->QueryInterface(IID_IContextMenu, menu.put_void());
                    factory->LockServer(FALSE);
                }
                while (!release)
                    Sleep(1);
            }
            CoUninitialize();
        });
    }
    ASSERT_TRUE(driver::WaitUntil([&] { return holding == kThreads; }, 30000));
    int unloadable = 0;
    int asked = 0;
    for (; asked < 20000; ++asked) {
        if (CanUnloadNow() != S_FALSE)
            ++unloadable;
    }
    release = true;
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(unloadable, 0) << "of " << asked;
    EXPECT_EQ(CanUnloadNow(), S_OK);
}
