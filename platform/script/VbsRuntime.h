#pragma once
// What the interpreter's files share (internal to platform/script): small helpers on values and
// names, and the runtime objects the interpreter makes: the Err object and instances of script
// classes.

#include "platform/script/VbsInterpreter.h"
#include "platform/script/VbsObjects.h"

#include <cmath>
#include <cwctype>
#include <optional>
#include <string>

namespace vbs {

inline const IID IID_IScriptClassInstance = {0x66E66D1D, 0xC555, 0x44FC, {0xB7, 0xEC, 0x26, 0x4D, 0x3A, 0xE4, 0xD8, 0x9D}};

inline std::wstring Lower(std::wstring_view s)
{
    std::wstring r(s);
    for (wchar_t& c : r)
        c = static_cast<wchar_t>(std::towlower(c));
    return r;
}

inline VARIANT MissingArgument()
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_ERROR;
    v.scode = DISP_E_PARAMNOTFOUND;
    return v;
}
inline const VARIANT kMissing = MissingArgument();
inline const VARIANT kEmpty = [] { VARIANT v; VariantInit(&v); return v; }();

// Replaces what target holds; the old value is released after the new one is in place, so that
// code run by its release sees the new value.
inline void Store(VARIANT& target, Var value)
{
    VARIANT old = target;
    target = value.Detach();
    VariantClear(&old);
}

// The number (possibly signed) or text an operand is written as in the program, or null.
inline const VARIANT* WrittenLiteral(const Expr& e)
{
    if (e.kind == Expr::Literal)
        return &e.value.v;
    if (e.kind == Expr::Unary && e.unary != UnaryOp::Not && e.object->kind == Expr::Literal
        && e.object->value.v.vt != VT_BSTR)
        return &e.object->value.v;
    return nullptr;
}

// In a comparison, a value met by a literal of the other kind written on the other side takes
// the literal's kind first ("5" held in a variable equals a written 5).
inline const VARIANT& OperandAsWritten(const Expr& expr, const VARIANT& value, const Expr& otherExpr, Var& converted)
{
    const VARIANT* written = WrittenLiteral(otherExpr);
    if (!written || WrittenLiteral(expr))
        return value;
    return AsKindOfWritten(*written, value, converted);
}

// ---- the Err object --------------------------------------------------------------------------

class ErrObject final : public RuntimeObject {
public:
    ErrObject() : RuntimeObject(L"ErrObject")
    {
        AddLongProperty(L"Number", DISPID_VALUE, m_number);
        AddTextProperty(L"Description", 1, m_description);
        AddTextProperty(L"Source", 2, m_source);
        AddTextProperty(L"HelpFile", 3, m_helpFile);
        AddLongProperty(L"HelpContext", 4, m_helpContext);
        AddMember(L"Raise", 5, [this](Call& c) { return Raise(c); },
                  {L"Number", L"Source", L"Description", L"HelpFile", L"HelpContext"});
        AddMember(L"Clear", 6, [this](Call&) {
            Clear();
            return S_OK;
        });
    }

    void Clear()
    {
        m_number = 0;
        m_helpContext = 0;
        m_description.clear();
        m_source.clear();
        m_helpFile.clear();
    }

    void Set(const ScriptError& e)
    {
        Clear();
        m_number = e.number;
        m_description = e.description;
        m_source = e.source;
        m_helpFile = e.helpFile;
        m_helpContext = e.helpContext;
    }

    std::optional<ScriptError> TakeRaised() { return std::exchange(m_raised, std::nullopt); }

private:
    void AddLongProperty(const wchar_t* name, DISPID id, LONG& field)
    {
        AddMember(name, id, [&field](Call& c) {
            if (c.IsPut()) {
                double n;
                if (HRESULT hr = c.Number(c.Count() - 1, n); FAILED(hr))
                    return hr;
                field = static_cast<LONG>(n);
                return S_OK;
            }
            c.ReturnLong(field);
            return S_OK;
        });
    }

    void AddTextProperty(const wchar_t* name, DISPID id, std::wstring& field)
    {
        AddMember(name, id, [&field](Call& c) {
            if (c.IsPut())
                return c.Text(c.Count() - 1, field);
            c.ReturnText(field);
            return S_OK;
        });
    }

    // The number is a Long: rounded half to even, 6 beyond the Long range, 94 for Null. Zero and
    // numbers past the language's 65535 are no error numbers (5); a failure code of a kind the
    // language names becomes that error, as an object's failure does.
    HRESULT Raise(Call& c)
    {
        if (!c.Has(0))
            return Fail(kWrongArgumentCount);
        VARIANT given = c.Arg(0);
        const bool null = given.vt == VT_NULL;
        VariantClear(&given);
        if (null)
            return Fail(kInvalidUseOfNull);
        double number;
        if (HRESULT hr = c.Number(0, number); FAILED(hr))
            return hr;
        number = std::nearbyint(number);
        if (!(number >= -2147483648.0 && number <= 2147483647.0))
            return Fail(kOverflow);
        if (number == 0 || number > 65535)
            return Fail(kInvalidProcedureCall);
        ScriptError e;
        e.number = number < 0 ? LanguageErrorNumber(static_cast<HRESULT>(number)) : static_cast<int>(number);
        e.source = kRuntimeErrorSource;
        e.description = e.number > 0 ? ErrorText(e.number) : L"Unknown runtime error";
        if (c.Has(1) && FAILED(c.Text(1, e.source)))
            return DISP_E_TYPEMISMATCH;
        if (c.Has(2) && FAILED(c.Text(2, e.description)))
            return DISP_E_TYPEMISMATCH;
        if (c.Has(3) && FAILED(c.Text(3, e.helpFile)))
            return DISP_E_TYPEMISMATCH;
        double context = 0;
        if (c.Has(4) && FAILED(c.Number(4, context)))
            return DISP_E_TYPEMISMATCH;
        e.helpContext = static_cast<LONG>(context);
        m_raised = e;
        return DISP_E_EXCEPTION;
    }

    // Raise's own failure: the runtime error number with its text.
    HRESULT Fail(int number)
    {
        m_raised = ScriptError{number, ErrorText(number), kRuntimeErrorSource};
        return DISP_E_EXCEPTION;
    }

    LONG m_number = 0;
    LONG m_helpContext = 0;
    std::wstring m_description;
    std::wstring m_source;
    std::wstring m_helpFile;
    std::optional<ScriptError> m_raised;
};

// ---- instances of script classes -------------------------------------------------------------

class ClassInstance final : public IDispatch, public IScriptTypeName {
public:
    // charge: what the instance takes, held against the engine's budget while it lives.
    ClassInstance(Interpreter& interpreter, ClassDef& def, MemoryCharge charge)
        : m_link(interpreter.link()), m_def(&def), m_typeName(def.name), m_charge(std::move(charge)),
          fields(def.fieldCount)
    {
        interpreter.Track(this, true);
    }

    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IDispatch)
            *ppv = static_cast<IDispatch*>(this);
        else if (riid == IID_IScriptTypeName)
            *ppv = static_cast<IScriptTypeName*>(this);
        else if (riid == IID_IScriptClassInstance)
            *ppv = this;
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override
    {
        if (--m_refs)
            return m_refs;
        // Instances end one after another, not inside each other: freeing a long chain of
        // objects must not recurse once per object. The waiting ones are linked through
        // themselves, so that a release, which may come from a destructor, never allocates.
        thread_local ClassInstance* ending = nullptr;
        thread_local bool draining = false;
        m_nextEnding = ending;
        ending = this;
        if (draining)
            return 0;
        draining = true;
        while (ending) {
            ClassInstance* next = ending;
            ending = next->m_nextEnding;
            next->End();
        }
        draining = false;
        return 0;
    }
    std::wstring TypeName() override { return m_typeName; }

    HRESULT GetTypeInfoCount(UINT* count) override
    {
        if (count)
            *count = 0;
        return count ? S_OK : E_POINTER;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** info) override
    {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override
    {
        if (!names || !ids || !count)
            return E_INVALIDARG;
        if (!m_link->interpreter)
            return E_UNEXPECTED;
        for (UINT i = 0; i < count; ++i)
            ids[i] = DISPID_UNKNOWN;
        ClassMember* member = names[0] ? m_def->Find(Lower(names[0])) : nullptr;
        if (!member || !member->isPublic)
            return DISP_E_UNKNOWNNAME;
        ids[0] = member->dispid;
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                   UINT*) override
    {
        Interpreter* interpreter = m_link->interpreter;
        if (!interpreter)
            return E_UNEXPECTED;
        ClassMember* member = nullptr;
        if (id == DISPID_VALUE)
            member = m_def->defaultMember;
        else if (id > 0 && size_t(id) <= m_def->members.size())
            member = m_def->members[id - 1].get();
        if (!member || (!member->isPublic && id != DISPID_VALUE))
            return DISP_E_MEMBERNOTFOUND;
        return interpreter->InvokeInstance(*this, *member, flags, params, result, exception);
    }

    ClassDef& def() { return *m_def; }
    void ClearFields()
    {
        std::vector<Var> old;
        old.swap(fields);
        fields.resize(old.size());
    }

    static ClassInstance* From(IDispatch* object)
    {
        if (!object)
            return nullptr;
        void* p = nullptr;
        if (FAILED(object->QueryInterface(IID_IScriptClassInstance, &p)) || !p)
            return nullptr;
        auto* instance = static_cast<ClassInstance*>(p);
        instance->Release();  // the caller holds the object
        return instance;
    }

private:
    ~ClassInstance()
    {
        if (Interpreter* interpreter = m_link->interpreter)
            interpreter->Track(this, false);
    }

    // Runs Class_Terminate once, then deletes the instance unless that code kept a reference.
    void End()
    {
        if (Interpreter* interpreter = m_link->interpreter; interpreter && !m_terminated) {
            m_terminated = true;
            m_refs = 1;
            interpreter->TerminateInstance(*this);
            if (--m_refs)
                return;
        }
        delete this;
    }

    std::shared_ptr<Interpreter::Link> m_link;
    ClassDef* m_def;
    std::wstring m_typeName;
    MemoryCharge m_charge;
    ULONG m_refs = 1;
    bool m_terminated = false;
    ClassInstance* m_nextEnding = nullptr;

public:
    std::vector<Var> fields;
};

} // namespace vbs
