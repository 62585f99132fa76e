#pragma once
// CIniFile: a whole INI file (sections of key=value lines) held in memory. Values are read and set
// by section and key (both compared without regard to case). The file is read once per load and
// written back in one change that replaces the sections the mirror holds, so sections of the file
// that the mirror does not hold stay as they are and a kill leaves the old file or the new one.

#include "platform/base/CString.h"

#include <vector>

class CIniFile {
public:
    struct Section {
        CString name;
        std::vector<CString> keys;
        std::vector<CString> values; // values[i] belongs to keys[i]
    };

    CIniFile() = default;
    CIniFile(const CIniFile&) = delete;
    CIniFile& operator=(const CIniFile&) = delete;
    // Writes a modified mirror to its file.
    virtual ~CIniFile();

    // "c:\dummy.ini" for an empty path; a bare file name keeps the previous path.
    void SetFileName(CString path);
    const CString& GetFileName() const { return m_strPath; }
    // Reads the file into the mirror; 0 when nothing was read (no path, no file, empty last section).
    int Load();
    void RemoveAll();
    // Writes the mirror when it changed; FALSE, with the reason as the last error, when that failed.
    BOOL Flush();

    void SetString(CString section, CString key, CString text);
    void SetInt(CString section, CString key, int value);
    void SetBool(CString section, CString key, bool value);
    void SetValue(CString section, CString key, CString value);

    CString GetValue(CString section, CString key) const;
    CString GetString(CString section, CString key, CString defaultText) const;
    int GetInt(CString section, CString key, int defaultValue) const;

    int FindSection(CString name) const;
    int FindKey(int section, CString key) const;
    int AddSection(CString name);

    int ReadFile(CString path);
    BOOL WriteFile();
    static CString EscapeBackslash(CString text);

    bool IsModified() const { return m_bModified; }
    const std::vector<Section>& GetSections() const { return m_sections; }

private:
    static bool SameName(const CString& a, const CString& b);
    static CString StoredForm(const CString& path, const CString& previous);

    bool m_bModified = false;
    CString m_strPath;
    std::vector<Section> m_sections;
};
