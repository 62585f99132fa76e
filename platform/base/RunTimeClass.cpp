#include "platform/base/RunTimeClass.h"

#include "platform/base/CString.h"

#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct ClassList {
    std::mutex mutex;
    std::vector<CRuntimeClass*> classes;
};

// Built on first use, so that registrations from static objects of any file find it ready.
ClassList& Classes()
{
    static ClassList list;
    return list;
}

} // namespace

CRuntimeClass CObject::classCObject = { "CObject", sizeof(CObject), 0xFFFF, nullptr, nullptr };
static const AFX_CLASSINIT flnClassInit_CObject(RUNTIME_CLASS(CObject));

CRuntimeClass* CObject::GetRuntimeClass() const { return RUNTIME_CLASS(CObject); }

void CObject::Serialize(CArchive&) {}

BOOL CObject::IsKindOf(const CRuntimeClass* runtimeClass) const
{
    return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}

BOOL CObject::IsSerializable() const { return GetRuntimeClass()->m_wSchema != 0xFFFF; }

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

BOOL CRuntimeClass::IsDerivedFrom(const CRuntimeClass* baseClass) const
{
    if (!baseClass) return FALSE;
    for (const CRuntimeClass* at = this; at; at = at->m_pBaseClass)
        if (at == baseClass) return TRUE;
    return FALSE;
}

void CRuntimeClass::Register(CRuntimeClass* runtimeClass)
{
    ClassList& list = Classes();
    std::lock_guard guard(list.mutex);
    list.classes.push_back(runtimeClass);
}

CRuntimeClass* CRuntimeClass::FromName(LPCSTR className)
{
    if (!className) return nullptr;
    ClassList& list = Classes();
    std::lock_guard guard(list.mutex);
    for (CRuntimeClass* runtimeClass : list.classes)
        if (std::strcmp(runtimeClass->m_lpszClassName, className) == 0) return runtimeClass;
    return nullptr;
}

CRuntimeClass* CRuntimeClass::FromName(LPCWSTR className)
{
    return className ? FromName(WideToUtf8(className).c_str()) : nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCSTR className)
{
    CRuntimeClass* runtimeClass = FromName(className);
    return runtimeClass ? runtimeClass->CreateObject() : nullptr;
}

CObject* CRuntimeClass::CreateObject(LPCWSTR className)
{
    CRuntimeClass* runtimeClass = FromName(className);
    return runtimeClass ? runtimeClass->CreateObject() : nullptr;
}
