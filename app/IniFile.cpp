#include "app/IniFile.h"

#include "platform/base/StringFormat.h"
#include "platform/base/TextToNumber.h"
#include "platform/sys/PrivateProfile.h"

namespace {

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

// The file is read once, whatever its size: each section's lines come from that one reading.
int CIniFile::ReadFile(CString path)
{
    m_bModified = false;
    SetFileName(path);
    m_sections.clear();
    auto sections = ReadPrivateProfileSections(m_strPath);
    if (!sections)
        return 0;
    int lastCount = 0;
    for (PrivateProfileSection& read : *sections) {
        Section& section = m_sections.emplace_back(Section { CString(std::move(read.name)), {}, {} });
        lastCount = 0;
        for (const std::wstring& line : read.lines) {
            const size_t equals = line.find(L'=');
            section.keys.emplace_back(equals == std::wstring::npos ? std::wstring() : line.substr(0, equals));
            section.values.emplace_back(equals == std::wstring::npos ? line : line.substr(equals + 1));
            lastCount += static_cast<int>(line.size()) + 1;
        }
    }
    return lastCount;
}

// All sections go to the file in one change; the mirror stays modified when that failed.
BOOL CIniFile::WriteFile()
{
    std::vector<PrivateProfileSection> sections;
    sections.reserve(m_sections.size());
    for (const Section& section : m_sections) {
        PrivateProfileSection& written = sections.emplace_back(PrivateProfileSection { section.name.str(), {} });
        for (size_t i = 0; i < section.keys.size(); ++i)
            written.lines.push_back(section.keys[i].str() + L"=" + section.values[i].str());
    }
    const BOOL result = WritePrivateProfileSections(sections, m_strPath);
    m_bModified = !result;
    return result;
}
