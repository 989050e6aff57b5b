#include "AccessibleWindow.h"

#include "ComPtr.h"
#include "TraceLog.h"

#include <oleacc.h>

#include <cstdio>
#include <new>
#include <string>

namespace {

const IID kIidAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

using CreateStdAccessibleObjectFunction = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
using LresultFromObjectFunction = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

struct OleAcc {
    CreateStdAccessibleObjectFunction createStandard = nullptr;
    LresultFromObjectFunction lresultFromObject = nullptr;
};

const OleAcc& Library()
{
    static OleAcc library = [] {
        OleAcc loaded;
        if (HMODULE module = LoadLibraryA("oleacc.dll")) {
            loaded.createStandard =
                reinterpret_cast<CreateStdAccessibleObjectFunction>(
                    reinterpret_cast<void*>(GetProcAddress(module, "CreateStdAccessibleObject")));
            loaded.lresultFromObject =
                reinterpret_cast<LresultFromObjectFunction>(
                    reinterpret_cast<void*>(GetProcAddress(module, "LresultFromObject")));
        }
        return loaded;
    }();
    return library;
}

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

void LogFailure(const char* what, HRESULT result)
{
    if (!TraceOn())
        return;
    char line[96];
    snprintf(line, sizeof line, "%s: HR=%08lx", what, static_cast<unsigned long>(result));
    LogText(line);
}

// The client object of one window: its own name and role over the
// system's standard object.
class CNamedAccessible final : public IAccessible
{
public:
    CNamedAccessible(IAccessible* standard, std::wstring name, long role)
        : m_standard(standard), m_name(std::move(name)), m_role(role)
    {
        m_standard->AddRef();
    }
    CNamedAccessible(const CNamedAccessible&) = delete;
    CNamedAccessible& operator=(const CNamedAccessible&) = delete;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == kIidAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        // IOleWindow and IEnumVARIANT come from the standard object, which
        // knows the window and its children.
        return m_standard->QueryInterface(iid, object);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return m_standard->GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override
    {
        return m_standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* exception, UINT* argument) override
    {
        return m_standard->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible
    STDMETHODIMP get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    STDMETHODIMP get_accChildCount(long* count) override { return m_standard->get_accChildCount(count); }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** object) override { return m_standard->get_accChild(child, object); }
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override
    {
        if (!IsSelf(child))
            return m_standard->get_accName(child, name);
        if (!name)
            return E_POINTER;
        *name = SysAllocString(m_name.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override { return m_standard->get_accValue(child, value); }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override
    {
        return m_standard->get_accDescription(child, text);
    }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!IsSelf(child))
            return m_standard->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        VariantInit(role);
        role->vt = VT_I4;
        role->lVal = m_role;
        return S_OK;
    }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override { return m_standard->get_accState(child, state); }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override { return m_standard->get_accHelp(child, help); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT* child) override { return m_standard->get_accFocus(child); }
    STDMETHODIMP get_accSelection(VARIANT* children) override { return m_standard->get_accSelection(children); }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return m_standard->get_accDefaultAction(child, action);
    }
    STDMETHODIMP accSelect(long flags, VARIANT child) override { return m_standard->accSelect(flags, child); }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        return m_standard->accLocation(left, top, width, height, child);
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return m_standard->accNavigate(direction, start, end);
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override { return m_standard->accHitTest(x, y, child); }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override { return m_standard->accDoDefaultAction(child); }
    STDMETHODIMP put_accName(VARIANT child, BSTR name) override { return m_standard->put_accName(child, name); }
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override { return m_standard->put_accValue(child, value); }

private:
    ~CNamedAccessible() { m_standard->Release(); }

    LONG m_references = 1;
    IAccessible* m_standard;
    std::wstring m_name;
    long m_role;
};

std::wstring Widen(const char* text)
{
    if (!text || !*text)
        return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

} // namespace

LRESULT AnswerAccessibleObject(HWND window, WPARAM flags, LPARAM objectId, const char* name, long role)
{
    if (static_cast<LONG>(objectId) != OBJID_CLIENT)
        return 0;
    const OleAcc& library = Library();
    if (!library.createStandard || !library.lresultFromObject)
        return 0;
    IAccessible* standard = nullptr;
    HRESULT result = library.createStandard(window, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&standard));
    if (FAILED(result) || !standard) {
        LogFailure("CreateStdAccessibleObject", result);
        return 0;
    }
    auto* named = new (std::nothrow) CNamedAccessible(standard, Widen(name), role);
    standard->Release();
    if (!named)
        return 0;
    // The client holds its own reference from here; a negative answer is a
    // failure code and leaves the default procedure to answer.
    const LRESULT answer = library.lresultFromObject(kIidAccessible, flags, named);
    named->Release();
    return answer > 0 ? answer : 0;
}

void NotifyAccessibleFocus(HWND window)
{
    if (window)
        NotifyWinEvent(EVENT_OBJECT_FOCUS, window, OBJID_CLIENT, CHILDID_SELF);
}
