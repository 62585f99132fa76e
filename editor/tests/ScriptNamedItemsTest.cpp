#include "editor/ScriptNamedItems.h"
#include "editor/tests/ScriptHostSupport.h"

#include <gtest/gtest.h>

namespace {

// Counted objects that live on the test's stack; the test checks their counts at the end.
struct CountedTypeInfo final : ITypeInfo {
    ULONG refs = 1;
    HRESULT QueryInterface(REFIID, void** ppv) override
    {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
};

// An event source: answers IProvideClassInfo with its coclass type information.
struct EventSource final : IProvideClassInfo {
    ULONG refs = 1;
    CountedTypeInfo coClass;
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IProvideClassInfo) {
            *ppv = static_cast<IProvideClassInfo*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return ++refs; }
    ULONG Release() override { return --refs; }
    HRESULT GetClassInfo(ITypeInfo** ppTI) override
    {
        coClass.AddRef();
        *ppTI = &coClass;
        return S_OK;
    }
};

// The item's class-information part, reached as the host reaches it.
struct ItemUnderTest {
    SECATopLevelItem* item;
    IProvideMultipleClassInfo* part = nullptr;
    explicit ItemUnderTest(IUnknown* object) : item(new SECATopLevelItem(object))
    {
        item->GetIDispatch(FALSE)->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&part));
    }
    ~ItemUnderTest()
    {
        part->Release();
        item->GetIDispatch(FALSE)->Release();  // the item's initial reference: deletes it
    }
};

TEST(ScriptNamedItems, TheItemsIdentityIsItsClassInformationPartAndDispatchIsTheObjects)
{
    TestCalculator* calculator = TestCalculator::Create();
    LONG locksBefore = AfxOleGetLockCount();
    {
        ItemUnderTest item(calculator);
        EXPECT_EQ(AfxOleGetLockCount(), locksBefore + 1);
        EXPECT_EQ(calculator->RefCount(), 2u);
        ASSERT_NE(item.part, nullptr);
        EXPECT_NE(static_cast<IUnknown*>(item.part), static_cast<IUnknown*>(calculator));

        void* out = nullptr;
        ASSERT_EQ(item.part->QueryInterface(IID_IDispatch, &out), S_OK);
        EXPECT_EQ(out, static_cast<IDispatch*>(calculator));
        static_cast<IUnknown*>(out)->Release();
        ASSERT_EQ(item.part->QueryInterface(IID_IProvideMultipleClassInfo, &out), S_OK);
        EXPECT_EQ(out, item.part);
        static_cast<IUnknown*>(out)->Release();
        // Interfaces the item lacks are the object's to answer.
        for (const IID* iid : {&IID_IProvideClassInfo, &IID_IProvideClassInfo2, &IID_IConnectionPointContainer}) {
            out = reinterpret_cast<void*>(1);
            EXPECT_EQ(item.part->QueryInterface(*iid, &out), E_NOINTERFACE);
            EXPECT_EQ(out, nullptr);
        }
        ITypeInfo* typeInfo = nullptr;
        EXPECT_TRUE(FAILED(item.item->GetIDispatch(FALSE)->GetTypeInfo(0, 0, &typeInfo)));
    }
    EXPECT_EQ(AfxOleGetLockCount(), locksBefore);
    EXPECT_EQ(calculator->RefCount(), 1u);
    calculator->Release();
}

TEST(ScriptNamedItems, InfoOfIndexReportsReservedIdsAndTheObjectsClassInformation)
{
    EventSource source;
    {
        ItemUnderTest item(&source);
        ULONG count = 0;
        EXPECT_EQ(item.part->GetMultiTypeInfoCount(&count), S_OK);
        EXPECT_EQ(count, 1u);

        ULONG reserved = 0;
        EXPECT_EQ(item.part->GetInfoOfIndex(0, MULTICLASSINFO_GETNUMRESERVEDDISPIDS, nullptr, nullptr, &reserved,
                                            nullptr, nullptr), S_OK);
        EXPECT_EQ(reserved, 256u);
        EXPECT_EQ(item.part->GetInfoOfIndex(0, MULTICLASSINFO_GETNUMRESERVEDDISPIDS, nullptr, nullptr, nullptr,
                                            nullptr, nullptr), E_INVALIDARG);

        ITypeInfo* coClass = nullptr;
        DWORD flags = 9;
        IID primary = IID_IDispatch;
        EXPECT_EQ(item.part->GetInfoOfIndex(0, MULTICLASSINFO_GETTYPEINFO | MULTICLASSINFO_GETIIDPRIMARY, &coClass,
                                            &flags, nullptr, &primary, nullptr), S_OK);
        EXPECT_EQ(coClass, &source.coClass);
        EXPECT_EQ(flags, 0u);
        EXPECT_EQ(primary, IID_IDispatch);  // not answered: left as it was
        coClass->Release();

        coClass = reinterpret_cast<ITypeInfo*>(1);
        EXPECT_EQ(item.part->GetInfoOfIndex(1, MULTICLASSINFO_GETTYPEINFO, &coClass, &flags, nullptr, nullptr,
                                            nullptr), E_FAIL);
        EXPECT_EQ(coClass, nullptr);
        EXPECT_EQ(item.part->GetInfoOfIndex(0, MULTICLASSINFO_GETTYPEINFO, nullptr, &flags, nullptr, nullptr,
                                            nullptr), E_INVALIDARG);
    }
    EXPECT_EQ(source.refs, 1u);
    EXPECT_EQ(source.coClass.refs, 1u);
}

TEST(ScriptNamedItems, AnObjectWithoutClassInformationFailsTheTypeInfoRequest)
{
    TestCalculator* calculator = TestCalculator::Create();
    {
        ItemUnderTest item(calculator);
        ITypeInfo* coClass = nullptr;
        DWORD flags = 0;
        EXPECT_EQ(item.part->GetInfoOfIndex(0, MULTICLASSINFO_GETTYPEINFO, &coClass, &flags, nullptr, nullptr,
                                            nullptr), E_NOINTERFACE);
        EXPECT_EQ(coClass, nullptr);
    }
    calculator->Release();
}

} // namespace
