#pragma once
// SECEditRegExp: regular-expression search and replacement for the editor's find and replace,
// driving the script runtime's "VBScript.RegExp" object by its dispatch ids. Without the
// object (Initialize fails) regular expressions are unavailable.

#include "platform/com/DispatchDriver.h"

#include <utility>
#include <vector>

class ISECEditRegExp {
public:
    virtual ~ISECEditRegExp() = default;
    // Creates the object: not global, multi-line, matching case; FALSE when there is none.
    virtual BOOL Initialize() = 0;
    virtual CString GetPattern() = 0;
    virtual void SetPattern(const CString& pattern) = 0;
    virtual BOOL GetIgnoreCase() = 0;
    virtual void SetIgnoreCase(BOOL ignore) = 0;
    // The first match in text: its zero-based position, length and text; FALSE for none or an
    // empty pattern.
    virtual BOOL Find(const CString& text, int& position, int& length, CString& match) = 0;
    virtual BOOL Find(const CString& text, int& position, int& length) = 0;
    // Replaces the first match (all: every match) in text; TRUE when the text changed.
    virtual BOOL Replace(CString& text, const CString& replacement, BOOL all) = 0;
};

class SECEditRegExp : public ISECEditRegExp {
public:
    BOOL Initialize() override;
    CString GetPattern() override;
    void SetPattern(const CString& pattern) override;
    BOOL GetIgnoreCase() override;
    void SetIgnoreCase(BOOL ignore) override;
    BOOL Find(const CString& text, int& position, int& length, CString& match) override;
    BOOL Find(const CString& text, int& position, int& length) override;
    BOOL Replace(CString& text, const CString& replacement, BOOL all) override;
    // Every match in text, as (position, length), in one run of the object over the text.
    void FindAll(const CString& text, std::vector<std::pair<int, int>>& matches);

private:
    COleDispatchDriver m_regExp;
};
