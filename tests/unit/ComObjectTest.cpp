// The shared IUnknown: which interfaces QueryInterface answers and through
// which pointer, how the count runs to deletion, and the trace lines each
// class of the program writes on the way.
#include "TestSupport.h"

#include "common/ComObject.h"
#include "driver/Driver.h"
#include "toolbars/DataObject.h"
#include "toolbars/DropTarget.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace {

// {6B0D9E4A-1F3C-4E52-9A77-0C5D2B8E4F10}
const CLSID kProbeClass = {0x6b0d9e4a, 0x1f3c, 0x4e52, {0x9a, 0x77, 0x0c, 0x5d, 0x2b, 0x8e, 0x4f, 0x10}};

// Two interfaces, so that a cast landing on the wrong vtable, or IUnknown
// coming from the second one, shows.
class CProbe final : public CComObject<CProbe, IDropSource, IPersist>
{
public:
    CProbe(bool* deleted, const CComTraceTexts& texts);

    STDMETHODIMP QueryContinueDrag(BOOL, DWORD) override { return DRAGDROP_S_CANCEL; }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
    STDMETHODIMP GetClassID(CLSID* id) override
    {
        *id = kProbeClass;
        return S_OK;
    }

private:
    ~CProbe() override { *m_deleted = true; }

    bool* m_deleted;
};

const CComInterface kProbeInterfaces[] = {COM_INTERFACE(CProbe, IDropSource), COM_INTERFACE(CProbe, IPersist)};

CProbe::CProbe(bool* deleted, const CComTraceTexts& texts) : CComObject(kProbeInterfaces, texts), m_deleted(deleted) {}

void* const kPoison = reinterpret_cast<void*>(static_cast<uintptr_t>(0xcccccccc));

} // namespace

TEST(ComObject, AnswersTheListedInterfacesThroughTheirOwnPointers)
{
    bool deleted = false;
    auto* probe = new CProbe(&deleted, {});
    IDropSource* const source = probe;
    IPersist* const persist = probe;
    ASSERT_NE(static_cast<void*>(source), static_cast<void*>(persist));

    struct Case {
        const IID* iid;
        HRESULT hr;
        void* want;
    };
    const Case cases[] = {
        {&IID_IDropSource, S_OK, source},  {&IID_IPersist, S_OK, persist},
        {&IID_IUnknown, S_OK, source},     {&IID_IPersistStream, E_NOINTERFACE, nullptr},
        {&IID_IDataObject, E_NOINTERFACE, nullptr},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        // Asked through either interface, the answer is the same.
        for (IUnknown* asked : {static_cast<IUnknown*>(source), static_cast<IUnknown*>(persist)}) {
            void* got = kPoison;
            EXPECT_EQ(asked->QueryInterface(*cases[i].iid, &got), cases[i].hr);
            EXPECT_EQ(got, cases[i].want);
            if (got) {
                EXPECT_EQ(probe->AddRef(), 3u) << "a successful answer holds one reference";
                probe->Release();
                static_cast<IUnknown*>(got)->Release();
            }
        }
    }

    // The pointers handed out reach their own interface's methods.
    CComPtr<IPersist> asPersist;
    ASSERT_EQ(source->QueryInterface(IID_IPersist, asPersist.put_void()), S_OK);
    CLSID id{};
    EXPECT_EQ(asPersist->GetClassID(&id), S_OK);
    EXPECT_TRUE(IsEqualCLSID(id, kProbeClass));
    CComPtr<IDropSource> asSource;
    ASSERT_EQ(persist->QueryInterface(IID_IDropSource, asSource.put_void()), S_OK);
    EXPECT_EQ(asSource->QueryContinueDrag(FALSE, 0), DRAGDROP_S_CANCEL);

    EXPECT_EQ(source->QueryInterface(IID_IDropSource, nullptr), E_POINTER);
    asPersist.Reset();
    asSource.Reset();
    EXPECT_EQ(probe->Release(), 0u) << "no answer, not even a refused one, kept a reference";
    EXPECT_TRUE(deleted);
}

TEST(ComObject, StartsWithTheCreatorsReferenceAndDeletesItselfAtZero)
{
    bool deleted = false;
    auto* probe = new CProbe(&deleted, {});
    EXPECT_EQ(probe->AddRef(), 2u);
    EXPECT_EQ(probe->AddRef(), 3u);
    EXPECT_EQ(probe->Release(), 2u);
    EXPECT_EQ(probe->Release(), 1u);
    EXPECT_FALSE(deleted);
    EXPECT_EQ(probe->Release(), 0u);
    EXPECT_TRUE(deleted);
}

TEST(ComObject, WritesTheTextsItWasGiven)
{
    testing_support::ScopedTrace trace("lintel-com-object.txt");
    bool deleted = false;
    auto* probe = new CProbe(&deleted, {"P::QueryInterface", "P::AddRef", "P::Release", "P::Deleting"});
    void* got = nullptr;
    probe->QueryInterface(IID_IPersist, &got);
    probe->QueryInterface(IID_IDataObject, &got);
    probe->Release();
    probe->Release();
    ASSERT_TRUE(deleted);
    const std::vector<std::string> expected = {
        "P::QueryInterface", "P::AddRef", "P::QueryInterface", "P::Release", "P::Release", "P::Deleting",
    };
    EXPECT_EQ(driver::ReadTraceLines(trace.Path()), expected);

    // Null texts write nothing at all.
    testing_support::ScopedTrace silent("lintel-com-object-silent.txt");
    deleted = false;
    probe = new CProbe(&deleted, {nullptr, nullptr, "P::Release", nullptr});
    probe->AddRef();
    probe->Release();
    probe->Release();
    ASSERT_TRUE(deleted);
    EXPECT_EQ(driver::ReadTraceLines(silent.Path()), std::vector<std::string>(2, "P::Release"));
}

// Each transfer object writes reference-counting lines of its own, by which
// a drag is followed in the trace log.
TEST(ComObject, TransferObjectsKeepTheirTraceLines)
{
    struct Case {
        std::function<IUnknown*()> make;
        const IID* iid;
        const char* addRef;
        const char* release;
        const char* deleting;
    };
    const Case cases[] = {
        {[] { return static_cast<IDataObject*>(new CDataObject(nullptr)); }, &IID_IDataObject,
         "AddRef called on data object", "Release called on data object", "Deleting data object"},
        {[] { return static_cast<IEnumFORMATETC*>(new CEnumFormatEtc(nullptr, TRUE, FALSE)); }, &IID_IEnumFORMATETC,
         "AddRef called on EnumFormatEtc", "Release called on EnumFormatEtc", "Deleting EnumFormatEtc"},
        {[] { return static_cast<IDropTarget*>(new CDropTarget(nullptr)); }, &IID_IDropTarget,
         "AddRef called on droptarget", "Release called on droptarget", "Releasing drop target"},
        {[] { return static_cast<IDropSource*>(new CDropSource(nullptr)); }, &IID_IDropSource, "AddRef called",
         "Release called", "Deleting drop source"},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        testing_support::ScopedTrace trace("lintel-com-transfer.txt");
        IUnknown* object = cases[i].make();
        void* got = kPoison;
        EXPECT_EQ(object->QueryInterface(IID_IStorage, &got), E_NOINTERFACE);
        EXPECT_EQ(got, nullptr);
        ASSERT_EQ(object->QueryInterface(*cases[i].iid, &got), S_OK);
        EXPECT_EQ(got, static_cast<void*>(object));
        static_cast<IUnknown*>(got)->Release();
        EXPECT_EQ(object->Release(), 0u);
        const std::vector<std::string> expected = {cases[i].addRef, cases[i].release, cases[i].release,
                                                   cases[i].deleting};
        EXPECT_EQ(driver::ReadTraceLines(trace.Path()), expected);
    }
}
