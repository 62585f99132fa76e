#pragma once
// A language of the editor: editor settings, font, colour groups, keywords, character classes and
// tags (strings, comments), shared by name through a process-wide manager.

#include "framework/Mvc.h"
#include "platform/base/RunTimeClass.h"
#include "platform/base/CString.h"

#include <algorithm>
#include <bitset>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

using divuzura::foundation::CRefCountImpl;
using divuzura::foundation::GUID_REF;
using divuzura::foundation::IMessage;
using divuzura::foundation::IObserver;
using divuzura::foundation::ISubject;
using divuzura::foundation::ObserverArray;

// Notification codes that the editor's models and languages send to their observers.
enum : UINT {
    SECEDIT_FONT_UPDATE = 22575,
    SECEDIT_SPLITTER_SYNC = 22576,
    SECEDIT_LINE_COUNT_CHANGED = 22581,
    SECEDIT_INIT_CONTROLLER = 22582,
    SECEDIT_INVALIDATE_COLORING = 22583,
    SECEDIT_INVALIDATE_GUTTER = 22584,
    SECEDIT_INVALIDATE_LINES = 22585,
    SECEDIT_COMMAND = 22586,
    SECEDIT_COMPOSITE_COMMAND = 22587,
};

// A reference-counted notification carrying one of the codes above.
class SECEditMsg : public CRefCountImpl<IMessage> {
public:
    explicit SECEditMsg(UINT code) : m_code(code) {}
    bool QueryGuid(GUID_REF guid, void** object) override;
    UINT GetTypeID() const override { return m_code; }
    void GetDescription(CString& text) const override;

private:
    UINT m_code;
};

// "Invalidate Lines %d to %d": the lines whose colours were dropped (last -1: to the end).
class SECEditPaintMsg : public SECEditMsg {
public:
    SECEditPaintMsg(int firstLine, int lastLine) : SECEditMsg(SECEDIT_INVALIDATE_LINES), m_nFirstLine(firstLine), m_nLastLine(lastLine) {}
    void GetDescription(CString& text) const override;
    int m_nFirstLine;
    int m_nLastLine;
};

// One delimited span kind: a string, a comment, ...
class SECEditKeywordInfo {
public:
    virtual ~SECEditKeywordInfo() = default;
    CString m_strBeginTag;
    CString m_strEndTag;
    CString m_strEscapeChar;
    USHORT m_nColorGroup = 0;
    BOOL m_bMultiLine = FALSE;
};

struct SECEditColorGroup {
    COLORREF m_foreground = 0;
    COLORREF m_background = 0xFFFFFF;
    BOOL m_bForeAutomatic = TRUE;
    BOOL m_bBackAutomatic = TRUE;
    WORD m_nStyle = 0;
    CString m_strDisplayName;
    BOOL m_bConfigurable = TRUE;
};

enum SECEditCharClass { CharClassKeywordStart = 0, CharClassKeywordMiddle = 1, CharClassKeywordEnd = 2, CharClassDelimiter = 3, CharClassOperator = 4 };
enum SECEditBuiltinGroup { BuiltinText = 0, BuiltinTextSelection = 1, BuiltinNumber = 2, BuiltinOperator = 3 };
enum SECEditTagKind { TagSingleLine = 0, TagMultiLine = 1, TagAny = 2 };

struct TransparentHash {
    using is_transparent = void;
    size_t operator()(std::wstring_view text) const { return std::hash<std::wstring_view>()(text); }
};
using KeywordTable = std::unordered_map<std::wstring, USHORT, TransparentHash, std::equal_to<>>;
class SECEditKeywordInfo;
using TagTable = std::map<std::wstring, std::unique_ptr<SECEditKeywordInfo>, std::less<>>;

inline constexpr divuzura::foundation::InterfaceId IID_ISECEditLangConfig { "ISECEditLangConfig" };

class ISECEditLangConfig : public ISubject {
public:
    virtual void Notify(IObserver* sender, IMessage* message) = 0;
    virtual BOOL GetAutoIndent() const = 0;
    virtual SECEditColorGroup* GetColorGroup(int index) const = 0;
    virtual int GetColorGroupCount() const = 0;
    virtual const std::vector<std::unique_ptr<SECEditColorGroup>>& GetColorGroups() const = 0;
    virtual SECEditColorGroup* GetBuiltinColorGroup(int builtin) const = 0;
    virtual int GetBuiltinColorGroupIndex(int builtin) const = 0;
    virtual BOOL GetBold() const = 0;
    virtual CString GetFaceName() const = 0;
    virtual BOOL GetItalic() const = 0;
    virtual int GetSize() const = 0;
    virtual CString GetName() const = 0;
    virtual BOOL GetMatchCase() const = 0;
    virtual BOOL GetReplaceTabs() const = 0;
    virtual BOOL GetShowWhitespace() const = 0;
    // The tag that begins at text (length characters to the line's end), or null.
    virtual const SECEditKeywordInfo* FindTag(const wchar_t* text, int length, int tokenLength, int kind) const = 0;
    virtual void GetKeywords(CStringArray& keywords) const = 0;
    virtual void GetTags(std::vector<const SECEditKeywordInfo*>& tags, int kind) const = 0;
    virtual int GetTabSize() const = 0;
    virtual BOOL GetVirtualWhitespace() const = 0;
    // The word's length when it is a keyword or a number, with its colour group; else 0.
    virtual int IsKeyword(const wchar_t* text, int length, USHORT& group) const = 0;
    virtual BOOL IsCharOfClass(wchar_t ch, int charClass) const = 0;
    virtual void SetAutoIndent(BOOL on) = 0;
    virtual void SetBold(BOOL on) = 0;
    virtual void SetFaceName(const CString& name) = 0;
    virtual void SetItalic(BOOL on) = 0;
    virtual void SetSize(int points) = 0;
    virtual void SetCharClass(const wchar_t* chars, int charClass, BOOL replace) = 0;
    virtual void SetName(const CString& name) = 0;
    virtual void SetMatchCase(BOOL on) = 0;
    virtual void SetReplaceTabs(BOOL on) = 0;
    virtual void SetShowWhitespace(BOOL on) = 0;
    virtual void SetTabSize(int size) = 0;
    virtual void SetVirtualWhitespace(BOOL on) = 0;
};

class SECEditLangConfig : public CObject, public ISECEditLangConfig {
    DECLARE_SERIAL(SECEditLangConfig)
public:
    class Reader {
    public:
        virtual BOOL Read(SECEditLangConfig* config) = 0;
        virtual ULONG AddRef() = 0;
        virtual ULONG Release() = 0;

    protected:
        virtual ~Reader() = default;
    };
    class Writer {
    public:
        virtual BOOL Write(SECEditLangConfig* config) = 0;
        virtual ULONG AddRef() = 0;
        virtual ULONG Release() = 0;

    protected:
        virtual ~Writer() = default;
    };
    class Manager;

    SECEditLangConfig();
    ~SECEditLangConfig() override;
    SECEditLangConfig(const SECEditLangConfig&) = delete;
    SECEditLangConfig& operator=(const SECEditLangConfig&) = delete;

    // ISubject
    bool QueryGuid(GUID_REF guid, void** object) override;
    ULONG AddRef() override { return ++m_nRefCount; }
    ULONG Release() override { return --m_nRefCount; } // the manager owns every configuration
    void AddObserver(IObserver* observer) override;
    void RemoveObserver(IObserver* observer) override;
    void UpdateAllObservers(IObserver* exclude, IMessage* message) override { Notify(exclude, message); }

    // ISECEditLangConfig
    void Notify(IObserver* sender, IMessage* message) override;
    BOOL GetAutoIndent() const override { return m_bAutoIndent; }
    SECEditColorGroup* GetColorGroup(int index) const override;
    int GetColorGroupCount() const override { return static_cast<int>(m_groups.size()); }
    const std::vector<std::unique_ptr<SECEditColorGroup>>& GetColorGroups() const override { return m_groups; }
    SECEditColorGroup* GetBuiltinColorGroup(int builtin) const override { return GetColorGroup(GetBuiltinColorGroupIndex(builtin)); }
    int GetBuiltinColorGroupIndex(int builtin) const override { return builtin >= 0 && builtin < 4 ? m_builtins[builtin] : 0; }
    BOOL GetBold() const override { return m_bBold; }
    CString GetFaceName() const override { return m_strFaceName; }
    BOOL GetItalic() const override { return m_bItalic; }
    int GetSize() const override { return m_nSize; }
    CString GetName() const override { return m_strName; }
    BOOL GetMatchCase() const override { return m_bMatchCase; }
    BOOL GetReplaceTabs() const override { return m_bReplaceTabs; }
    BOOL GetShowWhitespace() const override { return m_bShowWhitespace; }
    const SECEditKeywordInfo* FindTag(const wchar_t* text, int length, int tokenLength, int kind) const override;
    void GetKeywords(CStringArray& keywords) const override;
    void GetTags(std::vector<const SECEditKeywordInfo*>& tags, int kind) const override;
    int GetTabSize() const override { return m_nTabSize; }
    BOOL GetVirtualWhitespace() const override { return m_bVirtualWhitespace; }
    int IsKeyword(const wchar_t* text, int length, USHORT& group) const override;
    BOOL IsCharOfClass(wchar_t ch, int charClass) const override;
    void SetAutoIndent(BOOL on) override { m_bAutoIndent = on; }
    void SetBold(BOOL on) override { m_bBold = on; }
    void SetFaceName(const CString& name) override { m_strFaceName = name; }
    void SetItalic(BOOL on) override { m_bItalic = on; }
    // Numbers from a language file or an archive are held to what the editor can draw.
    static constexpr int MaxTabSize = 64;
    static constexpr int MaxFontSize = 144;
    void SetSize(int points) override { m_nSize = std::clamp(points, 1, MaxFontSize); }
    void SetCharClass(const wchar_t* chars, int charClass, BOOL replace) override;
    void SetName(const CString& name) override { m_strName = name; }
    void SetMatchCase(BOOL on) override { m_bMatchCase = on; }
    void SetReplaceTabs(BOOL on) override { m_bReplaceTabs = on; }
    void SetShowWhitespace(BOOL on) override { m_bShowWhitespace = on; }
    void SetTabSize(int size) override { m_nTabSize = std::clamp(size, 1, MaxTabSize); }
    void SetVirtualWhitespace(BOOL on) override { m_bVirtualWhitespace = on; }

    // The whole configuration in archive form; loading first clears it.
    void Serialize(CArchive& archive) override;
    virtual void Reset();
    virtual void SetDefaults();

    // Filling, as the readers do it.
    // Replaces the group of that name, or appends a new one; returns its index.
    int SetColorGroup(const CString& name, const SECEditColorGroup& group);
    // The index of the named group, or -1.
    int FindColorGroup(const CString& name) const;
    void LookUpBuiltinGroups();
    const std::map<std::wstring, USHORT>& GetColorGroupNames() const { return m_groupNames; }
    // Enters the tag with its begin-text prefixes; a later tag replaces an earlier one of that text.
    void AddTag(std::unique_ptr<SECEditKeywordInfo> tag);
    void AddKeyword(const CString& keyword, USHORT group) { m_keywords[keyword.str()] = group; }
    void RebuildLowerCaseKeywords();
    // The members of a class in ascending order.
    CString GetCharClass(int charClass) const;
    const KeywordTable& GetKeywordTable() const { return m_keywords; }
    const TagTable& GetTagTable() const { return m_tags; }

    static BOOL RegisterLanguage(const CString& name, Reader* reader, Writer* writer);
    static SECEditLangConfig* GetConfig(const CString& name);
    // The folder of the running program, with a trailing separator: the language files lie there.
    static CString GetModuleDirectory();

private:
    using CharClass = std::bitset<65535>;

    void SerializeContent(CArchive& archive);
    // Takes over everything but the name and the observers.
    void TakeContentFrom(SECEditLangConfig& other);

    CString m_strName = L"Default";
    ULONG m_nRefCount = 1;
    BOOL m_bShowWhitespace = FALSE;
    BOOL m_bReplaceTabs = FALSE;
    BOOL m_bVirtualWhitespace = FALSE;
    int m_nTabSize = 4;
    BOOL m_bAutoIndent = FALSE;
    BOOL m_bMatchCase = FALSE; // no reader has said otherwise: keywords match in any case
    CString m_strFaceName = L"Courier";
    int m_nSize = 10;
    BOOL m_bItalic = FALSE;
    BOOL m_bBold = FALSE;
    KeywordTable m_keywords;
    ObserverArray m_observers;
    CharClass m_classes[5];
    // Every prefix of a begin text maps to null, the full begin text to its tag.
    TagTable m_tags;
    CharClass m_tagStarts; // the first characters of all begin texts: most tokens start no tag
    std::map<std::wstring, USHORT> m_groupNames;
    std::vector<std::unique_ptr<SECEditColorGroup>> m_groups;
    USHORT m_builtins[4] = { 0, 1, 2, 3 };
    std::unordered_map<std::wstring, std::wstring, TransparentHash, std::equal_to<>> m_lowerKeywords;
};

class SECEditLangConfig::Manager {
public:
    Manager();
    ~Manager();
    Manager(const Manager&) = delete;
    Manager& operator=(const Manager&) = delete;

    static Manager& Instance();
    BOOL Register(const CString& name, Reader* reader, Writer* writer);
    SECEditLangConfig* GetConfig(const CString& name);

private:
    std::map<std::wstring, std::unique_ptr<SECEditLangConfig>> m_configs;
    std::map<std::wstring, Reader*> m_readers;
    std::map<std::wstring, Writer*> m_writers;
};
