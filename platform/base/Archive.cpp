#include "platform/base/Archive.h"

#include "platform/base/TextEncoding.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr DWORD kNullTag = 0;
constexpr DWORD kNewClassTag = 0xFFFFFFFF;
constexpr DWORD kClassFlag = 0x80000000;
constexpr UINT kStringChunk = 65536;  // units read at a time, so a damaged length cannot demand a huge buffer

} // namespace

CArchive::CArchive(CFile* file, UINT mode, int bufferSize, void*)
    : m_file(file)
    , m_loading((mode & load) != 0)
    , m_flushOnDelete((mode & bNoFlushOnDelete) == 0)
    , m_buffer(static_cast<size_t>(std::max(bufferSize, 128)))
{
    if (!file) AfxThrowInvalidArgException();
}

CArchive::~CArchive()
{
    if (!m_file || m_loading || !m_flushOnDelete) return;
    try {
        Flush();
    } catch (CException* error) {
        error->Delete();  // a destructor must not throw; Close reports failures
    }
}

void CArchive::Throw(int cause) const
{
    AfxThrowArchiveException(cause, m_file ? m_file->GetFilePath().GetString() : nullptr);
}

void CArchive::RequireStoring() const
{
    if (!m_file) AfxThrowInvalidArgException();
    if (m_loading) Throw(CArchiveException::readOnly);
}

void CArchive::RequireLoading() const
{
    if (!m_file) AfxThrowInvalidArgException();
    if (!m_loading) Throw(CArchiveException::writeOnly);
}

UINT CArchive::FillBuffer()
{
    m_position = 0;
    m_end = m_file->Read(m_buffer.data(), static_cast<UINT>(m_buffer.size()));
    return static_cast<UINT>(m_end);
}

UINT CArchive::Read(void* buffer, UINT count)
{
    RequireLoading();
    auto* out = static_cast<BYTE*>(buffer);
    UINT done = 0;
    while (done < count) {
        if (m_position == m_end && FillBuffer() == 0) break;
        size_t take = std::min<size_t>(count - done, m_end - m_position);
        std::memcpy(out + done, m_buffer.data() + m_position, take);
        m_position += take;
        done += static_cast<UINT>(take);
    }
    return done;
}

void CArchive::ReadExactly(void* buffer, UINT count)
{
    if (Read(buffer, count) != count) Throw(CArchiveException::endOfFile);
}

void CArchive::Write(const void* buffer, UINT count)
{
    RequireStoring();
    const auto* in = static_cast<const BYTE*>(buffer);
    while (count > 0) {
        if (m_position == m_buffer.size()) Flush();
        size_t take = std::min<size_t>(count, m_buffer.size() - m_position);
        std::memcpy(m_buffer.data() + m_position, in, take);
        m_position += take;
        in += take;
        count -= static_cast<UINT>(take);
    }
}

void CArchive::Flush()
{
    if (!m_file || m_loading || m_position == 0) return;
    size_t pending = m_position;
    m_position = 0;  // a failed write does not leave the bytes to be written twice
    m_file->Write(m_buffer.data(), static_cast<UINT>(pending));
}

void CArchive::Close()
{
    Flush();
    m_file = nullptr;
}

void CArchive::Abort() { m_file = nullptr; }

// Strings: FF FFFE marks UTF-16 text; then the length in code units: one byte below 0xFF, else
// FF and a WORD below 0xFFFF, else FF FFFF and a DWORD. A length byte without the mark starts
// narrow (8-bit) text.
CArchive& CArchive::operator<<(const CString& text)
{
    RequireStoring();
    std::string units = WideToUtf16Le(text.view());
    DWORD length = static_cast<DWORD>(units.size() / 2);
    *this << BYTE(0xFF) << WORD(0xFFFE);
    if (length < 0xFF) {
        *this << BYTE(length);
    } else if (length < 0xFFFE) {
        *this << BYTE(0xFF) << WORD(length);
    } else {
        *this << BYTE(0xFF) << WORD(0xFFFF) << length;
    }
    Write(units.data(), static_cast<UINT>(units.size()));
    return *this;
}

CArchive& CArchive::operator>>(CString& text)
{
    RequireLoading();
    bool wide = false;
    DWORD length = 0;
    for (;;) {
        BYTE small;
        *this >> small;
        if (small < 0xFF) {
            length = small;
            break;
        }
        WORD medium;
        *this >> medium;
        if (medium == 0xFFFE) {
            if (wide) Throw(CArchiveException::genericException);
            wide = true;
            continue;
        }
        if (medium < 0xFFFF) {
            length = medium;
        } else {
            *this >> length;
        }
        break;
    }
    const DWORD unitSize = wide ? 2 : 1;
    std::string bytes;
    for (DWORD remaining = length; remaining > 0;) {
        UINT take = std::min<DWORD>(remaining, kStringChunk);
        size_t at = bytes.size();
        bytes.resize(at + static_cast<size_t>(take) * unitSize);
        ReadExactly(bytes.data() + at, take * unitSize);
        remaining -= take;
    }
    text = wide ? CString(Utf16LeToWide(bytes)) : CString(NarrowToWide(bytes));
    return *this;
}

void CArchive::WriteCount(DWORD_PTR count)
{
    if (count < 0xFFFF) {
        *this << WORD(count);
    } else {
        *this << WORD(0xFFFF) << DWORD(count);
    }
}

DWORD_PTR CArchive::ReadCount()
{
    WORD small;
    *this >> small;
    if (small != 0xFFFF) return small;
    DWORD large;
    *this >> large;
    return large;
}

void CArchive::WriteObject(const CObject* object)
{
    RequireStoring();
    if (!object) {
        *this << kNullTag;
        return;
    }
    if (auto seen = m_storedObjects.find(object); seen != m_storedObjects.end()) {
        *this << seen->second;
        return;
    }
    CRuntimeClass* runtimeClass = object->GetRuntimeClass();
    if (runtimeClass->m_wSchema == 0xFFFF) AfxThrowNotSupportedException();  // not a SERIAL class
    if (auto seen = m_storedClasses.find(runtimeClass); seen != m_storedClasses.end()) {
        *this << (kClassFlag | seen->second);
    } else {
        std::string name = runtimeClass->m_lpszClassName;
        *this << kNewClassTag << WORD(runtimeClass->m_wSchema & ~VERSIONABLE_SCHEMA) << WORD(name.size());
        Write(name.data(), static_cast<UINT>(name.size()));
        m_storedClasses[runtimeClass] = m_nextIndex++;
    }
    m_storedObjects[object] = m_nextIndex++;
    const_cast<CObject*>(object)->Serialize(*this);
}

CObject* CArchive::ReadObject(const CRuntimeClass* requiredClass)
{
    RequireLoading();
    DWORD tag;
    *this >> tag;
    if (tag == kNullTag) return nullptr;
    if (tag != kNewClassTag && !(tag & kClassFlag)) {
        auto seen = m_loadedObjects.find(tag);
        if (seen == m_loadedObjects.end()) Throw(CArchiveException::badIndex);
        if (requiredClass && !seen->second->IsKindOf(requiredClass)) Throw(CArchiveException::badClass);
        return seen->second;
    }

    CRuntimeClass* runtimeClass = nullptr;
    UINT schema = 0;
    if (tag == kNewClassTag) {
        WORD storedSchema, nameLength;
        *this >> storedSchema >> nameLength;
        std::string name(nameLength, '\0');
        ReadExactly(name.data(), nameLength);
        runtimeClass = CRuntimeClass::FromName(name.c_str());
        if (!runtimeClass || !runtimeClass->m_pfnCreateObject) Throw(CArchiveException::badClass);
        schema = storedSchema;
        UINT ownSchema = runtimeClass->m_wSchema;
        if (!(ownSchema & VERSIONABLE_SCHEMA) && ownSchema != schema) Throw(CArchiveException::badSchema);
        m_loadedClasses[m_nextIndex++] = { runtimeClass, schema };
    } else {
        auto seen = m_loadedClasses.find(tag & ~kClassFlag);
        if (seen == m_loadedClasses.end()) Throw(CArchiveException::badIndex);
        std::tie(runtimeClass, schema) = seen->second;
    }
    if (requiredClass && !runtimeClass->IsDerivedFrom(requiredClass)) Throw(CArchiveException::badClass);

    CObject* object = runtimeClass->CreateObject();
    if (!object) Throw(CArchiveException::badClass);
    DWORD index = m_nextIndex++;
    m_loadedObjects[index] = object;
    m_objectSchema = schema;
    try {
        object->Serialize(*this);
    } catch (...) {
        m_loadedObjects.erase(index);
        delete object;
        throw;
    }
    m_objectSchema = static_cast<UINT>(-1);
    return object;
}

UINT CArchive::GetObjectSchema()
{
    UINT schema = m_objectSchema;
    m_objectSchema = static_cast<UINT>(-1);
    return schema;
}
