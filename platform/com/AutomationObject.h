#pragma once
// A C++ object published through IDispatch from a table of members: each member has a name
// (looked up without case), a dispatch id and a handler. Reference counted; deleted at 0.

#include "platform/com/Automation.h"

#include <functional>
#include <string>
#include <vector>

class AutomationObject : public IDispatch {
public:
    // One call of a member. Arguments are in natural order and may be by-reference variants;
    // a property put carries its new value as the last argument.
    struct Call {
        WORD flags;
        std::vector<VARIANT*> args;
        VARIANT* result;  // may be null
        EXCEPINFO* exception;  // may be null

        size_t Count() const { return args.size(); }
        // A copy of argument i with references followed; Empty when missing.
        VARIANT Arg(size_t i) const;
        bool Has(size_t i) const;
        // Converts argument i; false (leaving out untouched) when it is missing or cannot convert.
        HRESULT ArgAs(size_t i, VARTYPE vt, VARIANT& out) const;
        HRESULT Text(size_t i, std::wstring& out) const;
        HRESULT Number(size_t i, double& out) const;
        HRESULT Flag(size_t i, bool& out) const;
        // Writes through a by-reference argument (DISP_E_TYPEMISMATCH when it is passed by value).
        HRESULT WriteBack(size_t i, const VARIANT& value) const;
        void Return(VARIANT value) const;  // takes ownership of value
        void ReturnText(std::wstring_view text) const;
        void ReturnBool(bool value) const;
        void ReturnLong(LONG value) const;
        void ReturnDouble(double value) const;
        void ReturnObject(IDispatch* object) const;  // adds a reference
        bool IsGet() const { return flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD); }
        bool IsPut() const { return flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF); }
        // Fills the exception record with a numbered error of the scripting range and its text.
        HRESULT Raise(int number, std::wstring_view description, std::wstring_view source = L"") const;
    };
    using Handler = std::function<HRESULT(Call&)>;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetTypeInfoCount(UINT* pctinfo) override;
    HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    ULONG RefCount() const { return m_refs; }
    // The members' names in table order, for describing the object to other programs.
    std::vector<std::wstring> MemberNames() const;

protected:
    AutomationObject() = default;
    virtual ~AutomationObject() = default;
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    // parameterNames lets callers pass arguments by name.
    void AddMember(std::wstring name, DISPID id, Handler handler, std::vector<std::wstring> parameterNames = {});
    // A property without parameters whose value is a collection: arguments given to it index
    // that collection (its default member), as in matches(0) or match.SubMatches(1).
    void AddCollectionProperty(std::wstring name, DISPID id, Handler handler);
    // Answers interfaces beyond IUnknown and IDispatch; the default knows none.
    virtual void* QueryExtraInterface(REFIID) { return nullptr; }

private:
    struct Member {
        std::wstring name;
        DISPID id;
        Handler handler;
        std::vector<std::wstring> parameters;
        bool indexesResult = false;
    };
    const Member* Find(DISPID id) const;

    std::vector<Member> m_members;
    ULONG m_refs = 1;
};

// Enumerates a fixed list of values (copies) for For Each.
class VariantEnumerator final : public IEnumVARIANT {
public:
    explicit VariantEnumerator(std::vector<VARIANT> values);  // takes ownership
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override;
    HRESULT Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) override;
    HRESULT Skip(ULONG celt) override;
    HRESULT Reset() override { m_position = 0; return S_OK; }
    HRESULT Clone(IEnumVARIANT** ppEnum) override;

private:
    ~VariantEnumerator();
    std::vector<VARIANT> m_values;
    size_t m_position = 0;
    ULONG m_refs = 1;
};
