#pragma once
// Where a language configuration comes from and goes to: an INI file, the application's registry
// profile, or several readers in turn (later values override earlier ones).

#include "editor/LangConfig.h"

#include <list>
#include <memory>

class PrivateProfileSnapshot;

// The application's profile: named sections of integer and text values. The application sets
// one at start-up; without it the registry reader reads nothing and the writer fails.
class IEditProfile {
public:
    virtual ~IEditProfile() = default;
    virtual UINT GetProfileInt(const CString& section, const CString& entry, int defaultValue) = 0;
    virtual CString GetProfileString(const CString& section, const CString& entry, const CString& defaultValue) = 0;
    virtual BOOL WriteProfileInt(const CString& section, const CString& entry, int value) = 0;
    virtual BOOL WriteProfileString(const CString& section, const CString& entry, const CString& value) = 0;
};

// The profile in the user's registry under HKEY_CURRENT_USER\<key>, sections as subkeys.
class EditRegistryProfile : public IEditProfile {
public:
    explicit EditRegistryProfile(const CString& key) : m_key(key) {}
    UINT GetProfileInt(const CString& section, const CString& entry, int defaultValue) override;
    CString GetProfileString(const CString& section, const CString& entry, const CString& defaultValue) override;
    BOOL WriteProfileInt(const CString& section, const CString& entry, int value) override;
    BOOL WriteProfileString(const CString& section, const CString& entry, const CString& value) override;

private:
    CString SectionKey(const CString& section) const;
    CString m_key;
};

// Installs the application's profile (not owned; null for none) and returns the previous one.
IEditProfile* SetEditProfile(IEditProfile* profile);
IEditProfile* GetEditProfile();

// Counts references for the readers and writers: they are released, never deleted.
template <typename Interface>
class SECEditLangConfigRefCounted : public Interface {
public:
    ULONG AddRef() override { return ++m_nRefCount; }
    ULONG Release() override
    {
        const ULONG count = --m_nRefCount;
        if (count == 0)
            delete this;
        return count;
    }

protected:
    ULONG m_nRefCount = 1;
};

// Read reads the file once for all its parts; a part's reader called on its own reads it afresh.
class SECEditLangConfigIniReader : public SECEditLangConfigRefCounted<SECEditLangConfig::Reader> {
public:
    explicit SECEditLangConfigIniReader(const CString& path);
    ~SECEditLangConfigIniReader() override;
    BOOL Read(SECEditLangConfig* config) override;
    virtual BOOL ReadParser(SECEditLangConfig* config);
    virtual BOOL ReadEditor(SECEditLangConfig* config);
    virtual BOOL ReadFont(SECEditLangConfig* config);
    virtual BOOL ReadColorGroups(SECEditLangConfig* config);
    virtual BOOL ReadKeywords(SECEditLangConfig* config);

    BOOL m_bReset = TRUE;

private:
    CString ReadString(const wchar_t* section, const wchar_t* key, const wchar_t* defaultText, DWORD size) const;
    int ReadInt(const wchar_t* section, const wchar_t* key, int defaultValue) const;
    // A count from the file, no larger than the entries that can exist (limit), so that a wrong
    // count in a damaged file costs nothing.
    int ReadCount(const wchar_t* section, const wchar_t* key, int limit) const;
    int CountSectionLines(const wchar_t* section) const;
    int CountSections() const;
    // The file as Read found it, or as it is now outside a Read.
    std::shared_ptr<const PrivateProfileSnapshot> File() const;

    CString m_strPath;
    std::shared_ptr<const PrivateProfileSnapshot> m_file;
};

class SECEditLangConfigRegReader : public SECEditLangConfigRefCounted<SECEditLangConfig::Reader> {
public:
    explicit SECEditLangConfigRegReader(const CString& section);
    BOOL Read(SECEditLangConfig* config) override;
    virtual BOOL ReadEditor(SECEditLangConfig* config);
    virtual BOOL ReadColorGroups(SECEditLangConfig* config);
    virtual BOOL ReadFont(SECEditLangConfig* config);

    BOOL m_bReset = FALSE;

private:
    CString m_strSection;
};

class SECEditLangConfigRegWriter : public SECEditLangConfigRefCounted<SECEditLangConfig::Writer> {
public:
    explicit SECEditLangConfigRegWriter(const CString& section);
    BOOL Write(SECEditLangConfig* config) override;
    virtual BOOL WriteEditor(SECEditLangConfig* config);
    virtual BOOL WriteColorGroups(SECEditLangConfig* config);
    virtual BOOL WriteFont(SECEditLangConfig* config);

private:
    CString m_strSection;
};

// Runs every reader in turn; holds one reference to each.
class SECEditLangConfigCompositeReader : public SECEditLangConfigRefCounted<SECEditLangConfig::Reader> {
public:
    ~SECEditLangConfigCompositeReader() override;
    BOOL Read(SECEditLangConfig* config) override;
    BOOL AddReader(SECEditLangConfig::Reader* reader);

    // An INI reader on iniPath followed by a registry reader on section.
    static SECEditLangConfig::Reader* Create(const CString& iniPath, const CString& section);

private:
    std::list<SECEditLangConfig::Reader*> m_readers;
};
