#pragma once
// CArchive: a buffered binary stream over a CFile that stores or loads numbers, strings and
// whole CObject graphs. Numbers are stored little-endian with their own size; strings as a
// length prefix and UTF-16LE code units; an object as its class (name and schema, the first
// time the class appears), then its Serialize data, or as a back-reference when the same object
// was stored before. Every read past the end or of malformed data throws a CArchiveException.

#include "platform/base/CString.h"
#include "platform/base/Exceptions.h"
#include "platform/base/File.h"
#include "platform/base/RunTimeClass.h"

#include <map>
#include <type_traits>
#include <unordered_map>
#include <vector>

class CArchive {
public:
    enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* file, UINT mode, int bufferSize = 4096, void* buffer = nullptr);
    // Flushes what is still buffered (a storing archive not closed), unless bNoFlushOnDelete.
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return m_loading; }
    BOOL IsStoring() const { return !m_loading; }
    BOOL IsBufferEmpty() const { return m_position == m_end; }
    CFile* GetFile() const { return m_file; }

    // The bytes read, fewer than count only at the end of the file.
    UINT Read(void* buffer, UINT count);
    void Write(const void* buffer, UINT count);
    void Flush();
    // Flushes and detaches from the file (which stays open).
    void Close();
    // Detaches without flushing.
    void Abort();

    // Numbers of every arithmetic and enumeration type, in their own size.
    template <typename T>
        requires(std::is_arithmetic_v<T> || std::is_enum_v<T>)
    CArchive& operator<<(T value)
    {
        RequireStoring();
        Write(&value, sizeof value);
        return *this;
    }
    template <typename T>
        requires(std::is_arithmetic_v<T> || std::is_enum_v<T>)
    CArchive& operator>>(T& value)
    {
        ReadExactly(&value, sizeof value);
        return *this;
    }

    CArchive& operator<<(const CString& text);
    CArchive& operator>>(CString& text);
    CArchive& operator<<(const CObject* object) { WriteObject(object); return *this; }
    CArchive& operator>>(CObject*& object) { object = ReadObject(nullptr); return *this; }

    // Element counts: small ones in two bytes.
    void WriteCount(DWORD_PTR count);
    DWORD_PTR ReadCount();

    void WriteObject(const CObject* object);
    // The next object, made through its run-time class; it must be of requiredClass (or derived)
    // when one is given.
    CObject* ReadObject(const CRuntimeClass* requiredClass);
    // The schema of the class being loaded, for a Serialize of a VERSIONABLE_SCHEMA class;
    // (UINT)-1 once read or outside loading.
    UINT GetObjectSchema();
    void SetObjectSchema(UINT schema) { m_objectSchema = schema; }

    void ReadExactly(void* buffer, UINT count);

private:
    void RequireStoring() const;
    void RequireLoading() const;
    [[noreturn]] void Throw(int cause) const;
    UINT FillBuffer();

    CFile* m_file;
    bool m_loading;
    bool m_flushOnDelete;
    std::vector<BYTE> m_buffer;
    size_t m_position = 0;  // next byte to read or write
    size_t m_end = 0;       // end of the bytes loaded (loading)
    UINT m_objectSchema = static_cast<UINT>(-1);

    DWORD m_nextIndex = 1;  // classes and objects share one index space
    std::unordered_map<const CObject*, DWORD> m_storedObjects;
    std::unordered_map<const CRuntimeClass*, DWORD> m_storedClasses;
    std::map<DWORD, CObject*> m_loadedObjects;
    std::map<DWORD, std::pair<CRuntimeClass*, UINT>> m_loadedClasses;  // class and stored schema
};

// Stores or loads count elements: CStrings as strings, CObject pointers as objects, other
// plain types as their bytes. Collections serialise their elements through this.
template <typename T>
void SerializeElements(CArchive& archive, T* elements, INT_PTR count)
{
    for (INT_PTR i = 0; i < count; ++i) {
        if constexpr (std::is_same_v<T, CString>) {
            if (archive.IsStoring()) archive << elements[i];
            else archive >> elements[i];
        } else if constexpr (std::is_pointer_v<T> && std::is_base_of_v<CObject, std::remove_pointer_t<T>>) {
            if (archive.IsStoring()) archive << elements[i];
            else elements[i] = static_cast<T>(archive.ReadObject(RUNTIME_CLASS(CObject)));
        } else {
            static_assert(std::is_trivially_copyable_v<T>, "no archive form for this element type");
            if (archive.IsStoring()) archive.Write(&elements[i], sizeof(T));
            else archive.ReadExactly(&elements[i], sizeof(T));
        }
    }
}
