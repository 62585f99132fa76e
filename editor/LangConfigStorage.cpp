#include "editor/LangConfigStorage.h"

#include "platform/base/StringFormat.h"
#include "platform/sys/PrivateProfile.h"
#include "platform/sys/Registry.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace {

IEditProfile*& ProfileSlot()
{
    static IEditProfile* profile = nullptr;
    return profile;
}

CString WithBackslash(const CString& section)
{
    return section.Right(1) == L"\\" ? section : section + L"\\";
}

// "r,g,b" in decimal; missing components are 0.
COLORREF ParseColor(const CString& text)
{
    int parts[3] = { 0, 0, 0 };
    std::swscanf(text.GetString(), L"%d,%d,%d", &parts[0], &parts[1], &parts[2]);
    return RGB(static_cast<BYTE>(parts[0]), static_cast<BYTE>(parts[1]), static_cast<BYTE>(parts[2]));
}

} // namespace

IEditProfile* SetEditProfile(IEditProfile* profile)
{
    return std::exchange(ProfileSlot(), profile);
}

IEditProfile* GetEditProfile()
{
    return ProfileSlot();
}

// ---- registry profile --------------------------------------------------------------------

CString EditRegistryProfile::SectionKey(const CString& section) const
{
    return m_key + L"\\" + section;
}

UINT EditRegistryProfile::GetProfileInt(const CString& section, const CString& entry, int defaultValue)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(section), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return static_cast<UINT>(defaultValue);
    DWORD value = 0, type = 0, size = sizeof value;
    const LSTATUS status = RegQueryValueExW(key, entry, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS && type == REG_DWORD ? value : static_cast<UINT>(defaultValue);
}

CString EditRegistryProfile::GetProfileString(const CString& section, const CString& entry, const CString& defaultValue)
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, SectionKey(section), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return defaultValue;
    DWORD type = 0, size = 0;
    CString result = defaultValue;
    if (RegQueryValueExW(key, entry, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
        if (RegQueryValueExW(key, entry, nullptr, &type, reinterpret_cast<LPBYTE>(text.data()), &size) == ERROR_SUCCESS)
            result = text.data();
    }
    RegCloseKey(key);
    return result;
}

BOOL EditRegistryProfile::WriteProfileInt(const CString& section, const CString& entry, int value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(section), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return FALSE;
    const DWORD data = static_cast<DWORD>(value);
    const LSTATUS status = RegSetValueExW(key, entry, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

BOOL EditRegistryProfile::WriteProfileString(const CString& section, const CString& entry, const CString& value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(section), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return FALSE;
    const auto bytes = static_cast<DWORD>((value.GetLength() + 1) * sizeof(wchar_t));
    const LSTATUS status = RegSetValueExW(key, entry, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()), bytes);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

// ---- INI reader --------------------------------------------------------------------------

SECEditLangConfigIniReader::SECEditLangConfigIniReader(const CString& path) : m_strPath(path) {}

SECEditLangConfigIniReader::~SECEditLangConfigIniReader() = default;

std::shared_ptr<const PrivateProfileSnapshot> SECEditLangConfigIniReader::File() const
{
    return m_file ? m_file : std::make_shared<const PrivateProfileSnapshot>(m_strPath);
}

CString SECEditLangConfigIniReader::ReadString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText, DWORD size) const
{
    // Cut as a buffer of that size would cut it.
    return CString(File()->String(section, key, defaultText).substr(0, size > 0 ? size - 1 : 0));
}

int SECEditLangConfigIniReader::ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue) const
{
    return static_cast<int>(File()->GetInt(section, key, defaultValue));
}

// The lists of a language file are read as a buffer of this many characters holds them.
constexpr size_t kListBufferChars = 32760;

// The entries such a buffer gives back: a list too long for it is cut, its last entry cut short,
// and an empty entry ends it.
template <typename Entries>
static std::vector<std::wstring_view> EntriesInListBuffer(const Entries& entries)
{
    constexpr size_t room = kListBufferChars - 2; // the list ends with two NULs
    std::vector<std::wstring_view> held;
    size_t used = 0;
    for (std::wstring_view entry : entries) {
        if (entry.empty() || used >= room)
            break;
        held.push_back(entry.substr(0, room - used));
        used += entry.size() + 1;
    }
    return held;
}

int SECEditLangConfigIniReader::CountSectionLines(const wchar_t* section) const
{
    return static_cast<int>(EntriesInListBuffer(File()->SectionLines(section)).size());
}

int SECEditLangConfigIniReader::CountSections() const
{
    return static_cast<int>(EntriesInListBuffer(File()->SectionNames()).size());
}

int SECEditLangConfigIniReader::ReadCount(const wchar_t* section, const wchar_t* key, int limit) const
{
    return std::clamp(ReadInt(section, key, 0), 0, limit);
}

BOOL SECEditLangConfigIniReader::Read(SECEditLangConfig* config)
{
    if (!config)
        return FALSE;
    if (m_bReset)
        config->SetDefaults();
    m_file = File();
    const BOOL read = ReadColorGroups(config) && ReadParser(config) && ReadFont(config) && ReadKeywords(config) && ReadEditor(config);
    m_file.reset();
    return read;
}

BOOL SECEditLangConfigIniReader::ReadEditor(SECEditLangConfig* config)
{
    config->SetTabSize(ReadInt(L"Editor", L"TabSize", 4));
    config->SetAutoIndent(ReadInt(L"Editor", L"AutoIndent", 0));
    config->SetShowWhitespace(ReadInt(L"Editor", L"ShowWhitespace", 0));
    config->SetVirtualWhitespace(ReadInt(L"Editor", L"VirtualWhitespace", 0));
    config->SetReplaceTabs(ReadInt(L"Editor", L"ReplaceTabs", 0));
    config->SetMatchCase(ReadInt(L"Editor", L"MatchCase", 1));
    return TRUE;
}

BOOL SECEditLangConfigIniReader::ReadFont(SECEditLangConfig* config)
{
    config->SetFaceName(ReadString(L"Font", L"FaceName", config->GetFaceName(), 32));
    config->SetSize(ReadInt(L"Font", L"Size", config->GetSize()));
    config->SetItalic(ReadInt(L"Font", L"Italic", config->GetItalic()));
    config->SetBold(ReadInt(L"Font", L"Bold", config->GetBold()));
    return TRUE;
}

BOOL SECEditLangConfigIniReader::ReadParser(SECEditLangConfig* config)
{
    const std::pair<const wchar_t*, int> classes[] = {
        { L"Operators", CharClassOperator },
        { L"Delimiters", CharClassDelimiter },
        { L"KWStartChars", CharClassKeywordStart },
        { L"KWMiddleChars", CharClassKeywordMiddle },
        { L"KWEndChars", CharClassKeywordEnd },
    };
    for (const auto& [key, charClass] : classes) {
        const CString members = ReadString(L"Parser", key, L"", 4096);
        if (!members.IsEmpty())
            config->SetCharClass(members, charClass, FALSE);
    }
    const int tags = ReadCount(L"Parser", L"NumTags", CountSections()); // each tag has a section
    for (int i = 1; i <= tags; ++i) {
        const CString section(FormatWide(L"Tag%d", i));
        auto tag = std::make_unique<SECEditKeywordInfo>();
        const int group = config->FindColorGroup(ReadString(section, L"ColorGroup", L"", 1024));
        tag->m_nColorGroup = static_cast<USHORT>(group < 0 ? 0 : group);
        tag->m_strBeginTag = ReadString(section, L"BeginTag", L"", 1024);
        tag->m_strEndTag = ReadString(section, L"EndTag", L"", 1024);
        tag->m_strEscapeChar = ReadString(section, L"EscapeChar", L"", 1024);
        tag->m_bMultiLine = ReadInt(section, L"MultiLine", 0) != 0;
        config->AddTag(std::move(tag));
    }
    return TRUE;
}

BOOL SECEditLangConfigIniReader::ReadColorGroups(SECEditLangConfig* config)
{
    // Each group has a line in the section, and group indices are 16-bit.
    const int count = ReadCount(L"ColorGroups", L"NumGroups", std::min(CountSectionLines(L"ColorGroups"), 0xFFFF));
    for (int i = 1; i <= count; ++i) {
        const CString name = ReadString(L"ColorGroups", CString(FormatWide(L"Group%d", i)), L"", 1024);
        if (name.IsEmpty())
            continue;
        SECEditColorGroup group;
        group.m_strDisplayName = ReadString(name, L"DisplayName", name, 1024);
        group.m_bConfigurable = ReadInt(name, L"Configurable", 1);
        const CString fore = ReadString(name, L"Foreground", L"", 1024);
        if (fore.IsEmpty()) {
            group.m_foreground = RGB(0, 0, 0);
            group.m_bForeAutomatic = TRUE;
        } else {
            group.m_foreground = ParseColor(fore);
            group.m_bForeAutomatic = ReadInt(name, L"ForeColorAutomatic", 0);
        }
        const CString back = ReadString(name, L"Background", L"", 1024);
        if (back.IsEmpty()) {
            group.m_background = RGB(255, 255, 255);
            group.m_bBackAutomatic = TRUE;
        } else {
            group.m_background = ParseColor(back);
            group.m_bBackAutomatic = ReadInt(name, L"BackColorAutomatic", 0);
        }
        config->SetColorGroup(name, group);
    }
    config->LookUpBuiltinGroups();
    return TRUE;
}

BOOL SECEditLangConfigIniReader::ReadKeywords(SECEditLangConfig* config)
{
    const std::vector<std::wstring> lines = File()->SectionLines(L"Keywords");
    for (std::wstring_view entry : EntriesInListBuffer(lines)) {
        const CString line(entry);
        const int equals = line.Find(L'=');
        if (equals < 0)
            continue;
        CString keyword = line.Left(equals);
        CString groupName = line.Mid(equals + 1);
        keyword.Trim();
        groupName.Trim();
        const int group = config->FindColorGroup(groupName);
        if (keyword.IsEmpty() || groupName.IsEmpty() || group < 0)
            continue;
        config->AddKeyword(keyword, static_cast<USHORT>(group));
    }
    config->RebuildLowerCaseKeywords();
    return TRUE;
}

// ---- registry reader and writer ----------------------------------------------------------

SECEditLangConfigRegReader::SECEditLangConfigRegReader(const CString& section) : m_strSection(WithBackslash(section)) {}

BOOL SECEditLangConfigRegReader::Read(SECEditLangConfig* config)
{
    if (!config)
        return FALSE;
    if (m_bReset)
        config->SetDefaults();
    return ReadEditor(config) && ReadColorGroups(config) && ReadFont(config);
}

BOOL SECEditLangConfigRegReader::ReadEditor(SECEditLangConfig* config)
{
    IEditProfile* profile = GetEditProfile();
    if (!profile)
        return TRUE;
    const CString section = m_strSection + L"Editor";
    config->SetTabSize(profile->GetProfileInt(section, L"TabSize", config->GetTabSize()));
    config->SetAutoIndent(profile->GetProfileInt(section, L"AutoIndent", config->GetAutoIndent()));
    config->SetShowWhitespace(profile->GetProfileInt(section, L"ShowWhitespace", config->GetShowWhitespace()));
    config->SetVirtualWhitespace(profile->GetProfileInt(section, L"VirtualWhitespace", config->GetVirtualWhitespace()));
    config->SetReplaceTabs(profile->GetProfileInt(section, L"ReplaceTabs", config->GetReplaceTabs()));
    config->SetMatchCase(profile->GetProfileInt(section, L"MatchCase", config->GetMatchCase()));
    return TRUE;
}

BOOL SECEditLangConfigRegReader::ReadFont(SECEditLangConfig* config)
{
    IEditProfile* profile = GetEditProfile();
    if (!profile)
        return TRUE;
    const CString section = m_strSection + L"Font";
    config->SetFaceName(profile->GetProfileString(section, L"Facename", config->GetFaceName()));
    config->SetSize(profile->GetProfileInt(section, L"Size", config->GetSize()));
    config->SetBold(profile->GetProfileInt(section, L"Bold", config->GetBold()));
    config->SetItalic(profile->GetProfileInt(section, L"Italic", config->GetItalic()));
    return TRUE;
}

BOOL SECEditLangConfigRegReader::ReadColorGroups(SECEditLangConfig* config)
{
    IEditProfile* profile = GetEditProfile();
    if (!profile)
        return TRUE;
    for (const auto& [name, index] : config->GetColorGroupNames()) {
        SECEditColorGroup* group = config->GetColorGroup(index);
        if (!group)
            continue;
        const CString section = m_strSection + L"Color Groups\\" + CString(name);
        group->m_bBackAutomatic = profile->GetProfileInt(section, L"BackColorAutomatic", group->m_bBackAutomatic);
        group->m_bForeAutomatic = profile->GetProfileInt(section, L"ForeColorAutomatic", group->m_bForeAutomatic);
        group->m_background = profile->GetProfileInt(section, L"Background", static_cast<int>(group->m_background));
        group->m_foreground = profile->GetProfileInt(section, L"Foreground", static_cast<int>(group->m_foreground));
        group->m_strDisplayName = profile->GetProfileString(section, L"DisplayName", group->m_strDisplayName);
        group->m_bConfigurable = profile->GetProfileInt(section, L"Configurable", group->m_bConfigurable);
    }
    return TRUE;
}

SECEditLangConfigRegWriter::SECEditLangConfigRegWriter(const CString& section) : m_strSection(WithBackslash(section)) {}

BOOL SECEditLangConfigRegWriter::Write(SECEditLangConfig* config)
{
    if (config)
        WriteEditor(config) && WriteColorGroups(config) && WriteFont(config);
    return TRUE;
}

BOOL SECEditLangConfigRegWriter::WriteEditor(SECEditLangConfig* config)
{
    IEditProfile* profile = GetEditProfile();
    if (!profile)
        return FALSE;
    const CString section = m_strSection + L"Editor";
    return profile->WriteProfileInt(section, L"TabSize", config->GetTabSize())
        && profile->WriteProfileInt(section, L"AutoIndent", config->GetAutoIndent())
        && profile->WriteProfileInt(section, L"ShowWhitespace", config->GetShowWhitespace())
        && profile->WriteProfileInt(section, L"VirtualWhitespace", config->GetVirtualWhitespace())
        && profile->WriteProfileInt(section, L"ReplaceTabs", config->GetReplaceTabs())
        && profile->WriteProfileInt(section, L"MatchCase", config->GetMatchCase());
}

BOOL SECEditLangConfigRegWriter::WriteFont(SECEditLangConfig* config)
{
    IEditProfile* profile = GetEditProfile();
    if (!profile)
        return FALSE;
    const CString section = m_strSection + L"Font";
    return profile->WriteProfileString(section, L"Facename", config->GetFaceName())
        && profile->WriteProfileInt(section, L"Size", config->GetSize())
        && profile->WriteProfileInt(section, L"Bold", config->GetBold())
        && profile->WriteProfileInt(section, L"Italic", config->GetItalic());
}

BOOL SECEditLangConfigRegWriter::WriteColorGroups(SECEditLangConfig* config)
{
    IEditProfile* profile = GetEditProfile();
    if (!profile)
        return FALSE;
    for (const auto& [name, index] : config->GetColorGroupNames()) {
        const SECEditColorGroup* group = config->GetColorGroup(index);
        if (!group)
            continue;
        const CString section = m_strSection + L"Color Groups\\" + CString(name);
        const bool written = profile->WriteProfileInt(section, L"BackColorAutomatic", group->m_bBackAutomatic)
            && profile->WriteProfileInt(section, L"ForeColorAutomatic", group->m_bForeAutomatic)
            && profile->WriteProfileInt(section, L"Background", static_cast<int>(group->m_background))
            && profile->WriteProfileInt(section, L"Foreground", static_cast<int>(group->m_foreground))
            && profile->WriteProfileString(section, L"DisplayName", group->m_strDisplayName)
            && profile->WriteProfileInt(section, L"Configurable", group->m_bConfigurable);
        if (!written)
            return FALSE;
    }
    return TRUE;
}

// ---- composite reader --------------------------------------------------------------------

SECEditLangConfigCompositeReader::~SECEditLangConfigCompositeReader()
{
    for (SECEditLangConfig::Reader* reader : m_readers)
        reader->Release();
}

BOOL SECEditLangConfigCompositeReader::AddReader(SECEditLangConfig::Reader* reader)
{
    if (!reader)
        return FALSE;
    m_readers.push_back(reader);
    reader->AddRef();
    return TRUE;
}

BOOL SECEditLangConfigCompositeReader::Read(SECEditLangConfig* config)
{
    BOOL all = TRUE;
    for (SECEditLangConfig::Reader* reader : m_readers)
        all = reader->Read(config) && all;
    return all;
}

SECEditLangConfig::Reader* SECEditLangConfigCompositeReader::Create(const CString& iniPath, const CString& section)
{
    auto* composite = new SECEditLangConfigCompositeReader;
    SECEditLangConfig::Reader* ini = new SECEditLangConfigIniReader(iniPath);
    composite->AddReader(ini);
    ini->Release();
    SECEditLangConfig::Reader* registry = new SECEditLangConfigRegReader(section);
    composite->AddReader(registry);
    registry->Release();
    return composite;
}
