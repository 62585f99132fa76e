#include "app/IniFile.h"

#include "platform/base/StringFormat.h"
#include "platform/base/TextToNumber.h"
#include "platform/sys/PrivateProfile.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace {

constexpr DWORD BufferSize = 8192;
// The largest list read at once; a file with more is cut there.
constexpr size_t LargestBuffer = size_t { 1 } << 24;

// Reads a list of NUL-terminated strings into the buffer, growing it until the whole list fits:
// a section longer than the first buffer (a long formula) comes back whole rather than cut.
template<typename Read>
DWORD ReadWholeList(std::vector<wchar_t>& buffer, Read read)
{
    for (;;) {
        std::fill(buffer.begin(), buffer.end(), L'\0');
        const DWORD count = read(buffer.data(), static_cast<DWORD>(buffer.size()));
        if (count + 2 < buffer.size() || buffer.size() >= LargestBuffer)
            return count;
        buffer.resize(buffer.size() * 2);
    }
}

wchar_t FoldAscii(wchar_t ch)
{
    return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch - L'A' + L'a') : ch;
}

} // namespace

CIniFile::~CIniFile()
{
    if (m_bModified)
        WriteFile();
}

bool CIniFile::SameName(const CString& a, const CString& b)
{
    if (a.GetLength() != b.GetLength())
        return false;
    for (int i = 0; i < a.GetLength(); ++i)
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    return true;
}

CString CIniFile::EscapeBackslash(CString text)
{
    for (int i = 0; i < text.GetLength(); ++i) {
        if (text[i] == L'\\')
            text.Insert(++i, L'\\');
    }
    return text;
}

// Windows paths get their backslashes doubled once (an already doubled path passes); paths with
// forward slashes are taken as they are, whatever else they hold; a bare file name is no path.
CString CIniFile::StoredForm(const CString& path, const CString& previous)
{
    if (path.IsEmpty())
        return L"c:\\dummy.ini";
    if (path.Find(L'/') >= 0)
        return path;
    const int backslash = path.Find(L'\\');
    if (backslash < 0)
        return previous;
    if (backslash + 1 < path.GetLength() && path[backslash + 1] == L'\\')
        return path;
    return EscapeBackslash(path);
}

void CIniFile::SetFileName(CString path)
{
    m_strPath = StoredForm(path, m_strPath);
}

int CIniFile::Load()
{
    return m_strPath.IsEmpty() ? 0 : ReadFile(m_strPath);
}

void CIniFile::RemoveAll()
{
    m_sections.clear();
}

BOOL CIniFile::Flush()
{
    return !m_bModified || WriteFile();
}

void CIniFile::SetString(CString section, CString key, CString text)
{
    SetValue(section, key, text);
}

void CIniFile::SetInt(CString section, CString key, int value)
{
    SetValue(section, key, CString(FormatWide(L"%d", value)));
}

void CIniFile::SetBool(CString section, CString key, bool value)
{
    SetValue(section, key, value ? L"1" : L"0");
}

// A key set twice keeps its latest value.
void CIniFile::SetValue(CString section, CString key, CString value)
{
    int index = FindSection(section);
    if (index < 0)
        index = AddSection(section) - 1;
    Section& target = m_sections[index];
    const int existing = FindKey(index, key);
    if (existing >= 0) {
        target.values[existing] = value;
    } else {
        target.keys.push_back(key);
        target.values.push_back(value);
    }
    m_bModified = true;
}

CString CIniFile::GetValue(CString section, CString key) const
{
    const int index = FindSection(section);
    const int keyIndex = index < 0 ? -1 : FindKey(index, key);
    return keyIndex < 0 ? CString() : m_sections[index].values[keyIndex];
}

CString CIniFile::GetString(CString section, CString key, CString defaultText) const
{
    CString value = GetValue(section, key);
    return value.IsEmpty() ? defaultText : value;
}

int CIniFile::GetInt(CString section, CString key, int defaultValue) const
{
    const CString value = GetValue(section, key);
    return value.IsEmpty() ? defaultValue : _wtoi(value);
}

int CIniFile::FindSection(CString name) const
{
    for (size_t i = 0; i < m_sections.size(); ++i)
        if (SameName(m_sections[i].name, name))
            return static_cast<int>(i);
    return -1;
}

int CIniFile::FindKey(int section, CString key) const
{
    if (section < 0 || section >= static_cast<int>(m_sections.size()))
        return -1;
    const std::vector<CString>& keys = m_sections[section].keys;
    for (size_t i = 0; i < keys.size(); ++i)
        if (SameName(keys[i], key))
            return static_cast<int>(i);
    return -1;
}

int CIniFile::AddSection(CString name)
{
    if (FindSection(name) < 0)
        m_sections.push_back({ name, {}, {} });
    return static_cast<int>(m_sections.size());
}

int CIniFile::ReadFile(CString path)
{
    std::vector<wchar_t> buffer(BufferSize, L'\0');
    m_bModified = false;
    SetFileName(path);

    m_sections.clear();
    ReadWholeList(buffer, [&](wchar_t* list, DWORD size) { return GetPrivateProfileSectionNamesW(list, size, m_strPath); });
    for (const wchar_t* name = buffer.data(); *name; name += std::wcslen(name) + 1)
        m_sections.push_back({ name, {}, {} });

    int result = 0;
    for (Section& section : m_sections) {
        result = static_cast<int>(ReadWholeList(buffer, [&](wchar_t* list, DWORD size) {
            return GetPrivateProfileSectionW(section.name, list, size, m_strPath);
        }));
        if (result == 0)
            continue;
        for (const wchar_t* line = buffer.data(); *line; line += std::wcslen(line) + 1) {
            const CString text(line);
            const int equals = text.Find(L'=');
            section.keys.push_back(equals < 0 ? CString() : text.Left(equals));
            section.values.push_back(equals < 0 ? text : text.Mid(equals + 1));
        }
    }
    return result;
}

// Every section is written even after one fails; the mirror stays modified unless all were.
BOOL CIniFile::WriteFile()
{
    BOOL result = TRUE;
    for (const Section& section : m_sections) {
        std::wstring text;
        for (size_t i = 0; i < section.keys.size(); ++i) {
            if (i > 0)
                text += L"\r\n";
            text += section.keys[i].str() + L"=" + section.values[i].str();
        }
        text.append(2, L'\0');
        if (!WritePrivateProfileSectionW(section.name, text.c_str(), m_strPath))
            result = FALSE;
    }
    m_bModified = !result;
    return result;
}
