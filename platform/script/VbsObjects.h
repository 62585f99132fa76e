#pragma once
// Interfaces the engine's own objects answer beside IDispatch, and the base of its built-in
// automation objects.

#include "platform/com/AutomationObject.h"

#include <string>

namespace vbs {

// The name TypeName() reports for an object ("IRegExp2", a script class's name...).
struct IScriptTypeName : IUnknown {
    virtual std::wstring TypeName() = 0;
};
extern const IID IID_IScriptTypeName;

// An automation object of the script runtime: a member table and a type name.
class RuntimeObject : public AutomationObject, public IScriptTypeName {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override { return AutomationObject::QueryInterface(riid, ppv); }
    ULONG AddRef() override { return AutomationObject::AddRef(); }
    ULONG Release() override { return AutomationObject::Release(); }
    std::wstring TypeName() override { return m_typeName; }

protected:
    explicit RuntimeObject(std::wstring typeName) : m_typeName(std::move(typeName)) {}
    void* QueryExtraInterface(REFIID riid) override
    {
        return riid == IID_IScriptTypeName ? static_cast<IScriptTypeName*>(this) : nullptr;
    }

private:
    std::wstring m_typeName;
};

} // namespace vbs
