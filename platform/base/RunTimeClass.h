#pragma once
// CObject and run-time classes: every class declared with one of the DECLARE_ macros below can
// tell its class at run time (GetRuntimeClass, IsKindOf); DYNCREATE and SERIAL classes can also be
// made from their class record or class name (CreateObject), and SERIAL classes stored in and
// loaded from an archive through a CObject pointer.
//
//   class CShape : public CObject { DECLARE_SERIAL(CShape) ... };     // in the header
//   IMPLEMENT_SERIAL(CShape, CObject, 1)                               // in one .cpp file
//
// Each IMPLEMENT_ macro enters its class in the program's class list when static objects are
// built, so CRuntimeClass::FromName finds it by name.

#include "platform/base/WinTypes.h"

class CArchive;
class CObject;

struct CRuntimeClass {
    LPCSTR m_lpszClassName;
    int m_nObjectSize;
    UINT m_wSchema;  // 0xFFFF for classes that cannot be stored
    CObject* (*m_pfnCreateObject)();  // null unless the class can be made at run time
    CRuntimeClass* m_pBaseClass;

    // A new object of this class, or null when the class cannot be made at run time.
    CObject* CreateObject() const;
    BOOL IsDerivedFrom(const CRuntimeClass* baseClass) const;

    // The registered class of that name (exact, case-sensitive), or null.
    static CRuntimeClass* FromName(LPCSTR className);
    static CRuntimeClass* FromName(LPCWSTR className);
    // A new object of the registered class of that name, or null.
    static CObject* CreateObject(LPCSTR className);
    static CObject* CreateObject(LPCWSTR className);

    // Enters a class in the class list (the IMPLEMENT_ macros do this).
    static void Register(CRuntimeClass* runtimeClass);
};

// Set in the schema of a SERIAL class whose Serialize reads older versions itself
// (CArchive::GetObjectSchema tells which one is being loaded).
constexpr UINT VERSIONABLE_SCHEMA = 0x80000000;

class CObject {
public:
    virtual CRuntimeClass* GetRuntimeClass() const;
    virtual ~CObject() = default;
    virtual void Serialize(CArchive& archive);

    BOOL IsKindOf(const CRuntimeClass* runtimeClass) const;
    BOOL IsSerializable() const;

    static CRuntimeClass classCObject;

protected:
    CObject() = default;

public:
    CObject(const CObject&) = delete;
    CObject& operator=(const CObject&) = delete;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// Enters a class record in the class list while static objects are built.
struct AFX_CLASSINIT {
    explicit AFX_CLASSINIT(CRuntimeClass* runtimeClass) { CRuntimeClass::Register(runtimeClass); }
};

#define DECLARE_DYNAMIC(class_name) \
public: \
    static CRuntimeClass class##class_name; \
    CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
    DECLARE_DYNAMIC(class_name) \
    static CObject* CreateObject();

#define DECLARE_SERIAL(class_name) \
    DECLARE_DYNCREATE(class_name) \
    friend CArchive& operator>>(CArchive& archive, class_name*& object);

#define FLN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, create) \
    CRuntimeClass class_name::class##class_name = { \
        #class_name, sizeof(class_name), schema, create, RUNTIME_CLASS(base_class_name) }; \
    CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); } \
    static const AFX_CLASSINIT flnClassInit_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
    FLN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name) \
    CObject* class_name::CreateObject() { return new class_name; } \
    FLN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, 0xFFFF, class_name::CreateObject)

#define IMPLEMENT_SERIAL(class_name, base_class_name, schema) \
    CObject* class_name::CreateObject() { return new class_name; } \
    FLN_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, schema, class_name::CreateObject) \
    [[maybe_unused]] CArchive& operator>>(CArchive& archive, class_name*& object) \
    { \
        object = static_cast<class_name*>(archive.ReadObject(RUNTIME_CLASS(class_name))); \
        return archive; \
    }

// The object as a pointer to class_name when it is one (null otherwise, and for null).
#define DYNAMIC_DOWNCAST(class_name, object) \
    (((object) && (object)->IsKindOf(RUNTIME_CLASS(class_name))) ? static_cast<class_name*>(object) : nullptr)
#define STATIC_DOWNCAST(class_name, object) (static_cast<class_name*>(object))
