#include "editor/LangConfig.h"

#include "platform/base/Archive.h"
#include "platform/base/StringFormat.h"
#include "platform/sys/Module.h"

#include <cwctype>

using namespace divuzura::foundation;

namespace {

const wchar_t* MessageText(UINT code)
{
    switch (code) {
    case SECEDIT_FONT_UPDATE: return L"Font Update Message";
    case SECEDIT_INIT_CONTROLLER: return L"Initialize the controller";
    case SECEDIT_INVALIDATE_COLORING: return L"Invalidate the coloring cache and refresh";
    case SECEDIT_INVALIDATE_GUTTER: return L"Invalidate the Gutter Area";
    default: return L"";
    }
}

std::wstring ToLower(std::wstring_view text)
{
    std::wstring lower(text);
    for (wchar_t& ch : lower)
        ch = static_cast<wchar_t>(std::towlower(ch));
    return lower;
}

// The lower-case form in a buffer that is reused, so that looking up a word allocates nothing.
std::wstring_view ToLowerScratch(std::wstring_view text)
{
    thread_local std::wstring scratch;
    scratch.assign(text);
    for (wchar_t& ch : scratch) {
        if (ch < 0x80)
            ch = ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch + (L'a' - L'A')) : ch;
        else
            ch = static_cast<wchar_t>(std::towlower(ch));
    }
    return scratch;
}

} // namespace

bool SECEditMsg::QueryGuid(GUID_REF guid, void** object)
{
    if (&guid == &IID_IMessage || &guid == &IID_IQueryGuid) {
        *object = static_cast<IMessage*>(this);
        return true;
    }
    *object = nullptr;
    return false;
}

void SECEditMsg::GetDescription(CString& text) const
{
    text = MessageText(m_code);
}

void SECEditPaintMsg::GetDescription(CString& text) const
{
    text = CString(FormatWide(L"Invalidate Lines %d to %d", m_nFirstLine, m_nLastLine));
}

IMPLEMENT_SERIAL(SECEditLangConfig, CObject, 1)

SECEditLangConfig::SECEditLangConfig()
{
    SetDefaults();
}

SECEditLangConfig::~SECEditLangConfig() = default;

bool SECEditLangConfig::QueryGuid(GUID_REF guid, void** object)
{
    if (&guid == &IID_ISECEditLangConfig || &guid == &IID_ISubject || &guid == &IID_IQueryGuid || &guid == &IID_IRefCount) {
        *object = static_cast<ISECEditLangConfig*>(this);
        return true;
    }
    *object = nullptr;
    return false;
}

void SECEditLangConfig::AddObserver(IObserver* observer)
{
    if (observer)
        m_observers.Add(observer);
}

void SECEditLangConfig::RemoveObserver(IObserver* observer)
{
    m_observers.Remove(observer);
}

void SECEditLangConfig::Notify(IObserver* sender, IMessage* message)
{
    ObserverArray observers;
    observers.Copy(m_observers);
    NotifyObservers(observers, this, sender, message);
}

SECEditColorGroup* SECEditLangConfig::GetColorGroup(int index) const
{
    return index >= 0 && index < GetColorGroupCount() ? m_groups[index].get() : nullptr;
}

void SECEditLangConfig::Reset()
{
    m_tags.clear();
    m_tagStarts.reset();
    m_keywords.clear();
    m_lowerKeywords.clear();
    m_groupNames.clear();
    m_groups.clear();
    for (CharClass& members : m_classes)
        members.reset();
}

void SECEditLangConfig::SetDefaults()
{
    Reset();
    m_strFaceName = L"Courier";
    m_nSize = 10;
    m_bItalic = FALSE;
    m_bBold = FALSE;
    // Automatic colours follow the system's window text and window colours when drawn.
    constexpr COLORREF windowText = RGB(0, 0, 0);
    constexpr COLORREF window = RGB(255, 255, 255);
    struct Builtin {
        const wchar_t* name;
        COLORREF fore, back;
        BOOL configurable;
    };
    const Builtin builtins[] = {
        { L"Text", windowText, window, TRUE },
        { L"Text Selection", window, windowText, TRUE },
        { L"Number", windowText, window, FALSE },
        { L"Operator", windowText, window, FALSE },
    };
    for (int i = 0; i < 4; ++i) {
        SECEditColorGroup group;
        group.m_foreground = builtins[i].fore;
        group.m_background = builtins[i].back;
        group.m_strDisplayName = builtins[i].name;
        group.m_bConfigurable = builtins[i].configurable;
        m_builtins[i] = static_cast<USHORT>(SetColorGroup(builtins[i].name, group));
    }
    m_nTabSize = 4;
    m_bAutoIndent = FALSE;
    m_bShowWhitespace = FALSE;
    m_bReplaceTabs = FALSE;
    m_bVirtualWhitespace = FALSE;
}

int SECEditLangConfig::SetColorGroup(const CString& name, const SECEditColorGroup& group)
{
    const int existing = FindColorGroup(name);
    if (existing >= 0) {
        m_groups[existing] = std::make_unique<SECEditColorGroup>(group);
        return existing;
    }
    m_groups.push_back(std::make_unique<SECEditColorGroup>(group));
    const int index = GetColorGroupCount() - 1;
    m_groupNames[name.str()] = static_cast<USHORT>(index);
    return index;
}

int SECEditLangConfig::FindColorGroup(const CString& name) const
{
    const auto it = m_groupNames.find(name.str());
    return it == m_groupNames.end() ? -1 : it->second;
}

void SECEditLangConfig::LookUpBuiltinGroups()
{
    const wchar_t* names[] = { L"Text", L"Text Selection", L"Number", L"Operator" };
    for (int i = 0; i < 4; ++i) {
        const int index = FindColorGroup(names[i]);
        if (index >= 0)
            m_builtins[i] = static_cast<USHORT>(index);
    }
}

void SECEditLangConfig::AddTag(std::unique_ptr<SECEditKeywordInfo> tag)
{
    const std::wstring begin = tag->m_strBeginTag.str();
    if (begin.empty())
        return;
    for (size_t k = 1; k < begin.size(); ++k)
        m_tags[begin.substr(0, k)].reset();
    m_tags[begin] = std::move(tag);
    if (static_cast<size_t>(begin[0]) < m_tagStarts.size())
        m_tagStarts.set(static_cast<size_t>(begin[0]));
}

void SECEditLangConfig::RebuildLowerCaseKeywords()
{
    m_lowerKeywords.clear();
    for (const auto& [keyword, group] : m_keywords)
        m_lowerKeywords[ToLower(keyword)] = keyword;
}

const SECEditKeywordInfo* SECEditLangConfig::FindTag(const wchar_t* text, int length, int tokenLength, int kind) const
{
    if (length <= 0 || text[0] < 0 || static_cast<size_t>(text[0]) >= m_tagStarts.size() || !m_tagStarts.test(static_cast<size_t>(text[0])))
        return nullptr;
    const SECEditKeywordInfo* tag = nullptr;
    for (int k = 1; k <= length && !tag; ++k) {
        const auto it = m_tags.find(std::wstring_view(text, k));
        if (it == m_tags.end())
            return nullptr;
        tag = it->second.get();
    }
    if (!tag)
        return nullptr;
    if (tokenLength != 0 && tag->m_strBeginTag.GetLength() != tokenLength)
        return nullptr;
    switch (kind) {
    case TagAny: return tag;
    case TagSingleLine: return tag->m_bMultiLine ? nullptr : tag;
    case TagMultiLine: return tag->m_bMultiLine ? tag : nullptr;
    default: return nullptr;
    }
}

void SECEditLangConfig::GetKeywords(CStringArray& keywords) const
{
    for (const auto& [keyword, group] : m_keywords)
        keywords.Add(keyword.c_str());
}

void SECEditLangConfig::GetTags(std::vector<const SECEditKeywordInfo*>& tags, int kind) const
{
    for (const auto& [text, tag] : m_tags) {
        if (!tag)
            continue;
        if (kind == TagAny || (kind == TagMultiLine) == static_cast<bool>(tag->m_bMultiLine))
            tags.push_back(tag.get());
    }
}

int SECEditLangConfig::IsKeyword(const wchar_t* text, int length, USHORT& group) const
{
    if (length <= 0)
        return 0;
    const std::wstring_view word(text, length);
    if (const auto it = m_keywords.find(word); it != m_keywords.end()) {
        group = it->second;
        return length;
    }
    if (!m_bMatchCase) {
        if (const auto lower = m_lowerKeywords.find(ToLowerScratch(word)); lower != m_lowerKeywords.end()) {
            if (const auto it = m_keywords.find(lower->second); it != m_keywords.end()) {
                group = it->second;
                return length;
            }
        }
    }
    if (word[0] >= L'0' && word[0] <= L'9') {
        group = m_builtins[BuiltinNumber];
        return length;
    }
    return 0;
}

BOOL SECEditLangConfig::IsCharOfClass(wchar_t ch, int charClass) const
{
    if (charClass < 0 || charClass > 4 || ch < 0 || static_cast<size_t>(ch) >= CharClass().size())
        return FALSE;
    return m_classes[charClass].test(static_cast<size_t>(ch));
}

void SECEditLangConfig::SetCharClass(const wchar_t* chars, int charClass, BOOL replace)
{
    if (charClass < 0 || charClass > 4)
        return;
    CharClass& members = m_classes[charClass];
    if (replace)
        members.reset();
    for (const wchar_t* p = chars; p && *p; ++p) {
        if (*p >= 0 && static_cast<size_t>(*p) < members.size())
            members.set(static_cast<size_t>(*p));
    }
    SECEditMsg message(SECEDIT_INVALIDATE_COLORING);
    message.AddRef();
    Notify(nullptr, &message);
}

CString SECEditLangConfig::GetCharClass(int charClass) const
{
    CString members;
    if (charClass < 0 || charClass > 4)
        return members;
    for (size_t ch = 0; ch < m_classes[charClass].size(); ++ch)
        if (m_classes[charClass].test(ch))
            members.AppendChar(static_cast<wchar_t>(ch));
    return members;
}

SECEditLangConfig::Manager::Manager()
{
    m_configs[L"Default"] = std::make_unique<SECEditLangConfig>();
}

SECEditLangConfig::Manager::~Manager()
{
    for (auto& [name, reader] : m_readers)
        reader->Release();
    for (auto& [name, writer] : m_writers)
        writer->Release();
}

SECEditLangConfig::Manager& SECEditLangConfig::Manager::Instance()
{
    static Manager manager;
    return manager;
}

BOOL SECEditLangConfig::Manager::Register(const CString& name, Reader* reader, Writer* writer)
{
    auto replace = [&](auto& map, auto* item) {
        if (!item)
            return;
        item->AddRef();
        auto& slot = map[name.str()];
        if (slot)
            slot->Release();
        slot = item;
    };
    replace(m_readers, reader);
    replace(m_writers, writer);
    return TRUE;
}

SECEditLangConfig* SECEditLangConfig::Manager::GetConfig(const CString& name)
{
    if (const auto it = m_configs.find(name.str()); it != m_configs.end())
        return it->second.get();
    const auto reader = m_readers.find(name.str());
    if (reader == m_readers.end())
        return nullptr;
    auto config = std::make_unique<SECEditLangConfig>();
    config->SetName(name);
    reader->second->Read(config.get());
    return (m_configs[name.str()] = std::move(config)).get();
}

BOOL SECEditLangConfig::RegisterLanguage(const CString& name, Reader* reader, Writer* writer)
{
    return Manager::Instance().Register(name, reader, writer);
}

SECEditLangConfig* SECEditLangConfig::GetConfig(const CString& name)
{
    return Manager::Instance().GetConfig(name);
}

CString SECEditLangConfig::GetModuleDirectory()
{
    return ::GetModuleDirectory();
}

void SECEditLangConfig::Serialize(CArchive& archive)
{
    if (archive.IsStoring()) {
        SerializeContent(archive);
        return;
    }
    // A fresh configuration is filled first, so that a damaged archive changes nothing here.
    SECEditLangConfig loaded;
    loaded.SerializeContent(archive);
    TakeContentFrom(loaded);
}

void SECEditLangConfig::TakeContentFrom(SECEditLangConfig& other)
{
    m_bShowWhitespace = other.m_bShowWhitespace;
    m_bReplaceTabs = other.m_bReplaceTabs;
    m_bVirtualWhitespace = other.m_bVirtualWhitespace;
    m_nTabSize = other.m_nTabSize;
    m_bAutoIndent = other.m_bAutoIndent;
    m_bMatchCase = other.m_bMatchCase;
    m_strFaceName = other.m_strFaceName;
    m_nSize = other.m_nSize;
    m_bItalic = other.m_bItalic;
    m_bBold = other.m_bBold;
    m_keywords = std::move(other.m_keywords);
    std::copy(std::begin(other.m_classes), std::end(other.m_classes), std::begin(m_classes));
    m_tags = std::move(other.m_tags);
    m_tagStarts = other.m_tagStarts;
    m_groupNames = std::move(other.m_groupNames);
    m_groups = std::move(other.m_groups);
    std::copy(std::begin(other.m_builtins), std::end(other.m_builtins), std::begin(m_builtins));
    m_lowerKeywords = std::move(other.m_lowerKeywords);
}

void SECEditLangConfig::SerializeContent(CArchive& archive)
{
    auto flag = [&archive](BOOL& value) {
        if (archive.IsStoring()) {
            archive << static_cast<int32_t>(value);
        } else {
            int32_t read = 0;
            archive >> read;
            value = read;
        }
    };
    auto number = [&archive](auto& value) {
        if (archive.IsStoring())
            archive << value;
        else
            archive >> value;
    };
    auto text = [&archive](CString& value) {
        if (archive.IsStoring())
            archive << value;
        else
            archive >> value;
    };

    if (archive.IsLoading())
        Reset();

    // 1. colour groups
    DWORD groups = static_cast<DWORD>(m_groups.size());
    number(groups);
    for (DWORD i = 0; i < groups; ++i) {
        if (archive.IsLoading())
            m_groups.push_back(std::make_unique<SECEditColorGroup>());
        SECEditColorGroup& group = *m_groups[i];
        number(group.m_nStyle);
        number(group.m_foreground);
        number(group.m_background);
        flag(group.m_bForeAutomatic);
        flag(group.m_bBackAutomatic);
        text(group.m_strDisplayName);
        flag(group.m_bConfigurable);
    }

    // 2. the tag table, prefixes included
    DWORD entries = static_cast<DWORD>(m_tags.size());
    number(entries);
    auto entry = m_tags.begin();
    for (DWORD i = 0; i < entries; ++i) {
        CString key = archive.IsStoring() ? CString(entry->first) : CString();
        text(key);
        int32_t hasTag = archive.IsStoring() && entry->second ? 1 : 0;
        number(hasTag);
        std::unique_ptr<SECEditKeywordInfo> loaded;
        SECEditKeywordInfo* tag = archive.IsStoring() ? entry->second.get() : nullptr;
        if (hasTag) {
            if (!tag) {
                loaded = std::make_unique<SECEditKeywordInfo>();
                tag = loaded.get();
            }
            text(tag->m_strBeginTag);
            text(tag->m_strEndTag);
            text(tag->m_strEscapeChar);
            number(tag->m_nColorGroup);
            flag(tag->m_bMultiLine);
        }
        if (archive.IsStoring()) {
            ++entry;
        } else {
            if (loaded && !key.IsEmpty() && key[0] >= 0 && static_cast<size_t>(key[0]) < m_tagStarts.size())
                m_tagStarts.set(static_cast<size_t>(key[0]));
            m_tags[key.str()] = std::move(loaded);
        }
    }

    // 3. settings and font
    flag(m_bMatchCase);
    flag(m_bShowWhitespace);
    flag(m_bReplaceTabs);
    flag(m_bVirtualWhitespace);
    number(m_nTabSize);
    flag(m_bAutoIndent);
    text(m_strFaceName);
    number(m_nSize);
    flag(m_bItalic);
    flag(m_bBold);
    if (archive.IsLoading()) {
        SetTabSize(m_nTabSize);
        SetSize(m_nSize);
    }

    // 4. character classes
    for (int charClass : { CharClassKeywordStart, CharClassKeywordMiddle, CharClassKeywordEnd, CharClassDelimiter, CharClassOperator }) {
        CString members = archive.IsStoring() ? GetCharClass(charClass) : CString();
        text(members);
        if (archive.IsLoading())
            for (int i = 0; i < members.GetLength(); ++i)
                if (members[i] >= 0 && static_cast<size_t>(members[i]) < CharClass().size())
                    m_classes[charClass].set(static_cast<size_t>(members[i]));
    }

    // 5. keywords, 6. group names
    auto table = [&](auto& map) {
        if (archive.IsStoring()) {
            archive.WriteCount(map.size());
            for (const auto& [key, value] : map)
                archive << CString(key) << value;
            return;
        }
        for (DWORD_PTR count = archive.ReadCount(); count > 0; --count) {
            CString key;
            USHORT value = 0;
            archive >> key >> value;
            map[key.str()] = value;
        }
    };
    table(m_keywords);
    table(m_groupNames);
    if (archive.IsLoading()) {
        RebuildLowerCaseKeywords();
        LookUpBuiltinGroups();
    }
}
