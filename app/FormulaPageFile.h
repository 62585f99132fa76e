#pragma once
// The Formula page's content on disk: the "Load Content..." and "Save Content..." commands with
// the parameter file the user chooses, and the reader and writer that the last-content file uses
// as well. Loaded field texts stay on the page as they were written; the page's numbers follow
// them at its next calculation.

#include "platform/base/CString.h"

class CFlnView;

class CFormulaPageFile {
public:
    // FALSE, with the reason as the last error, when the file could not be written.
    static BOOL Save(CFlnView& view, const CString& path);
    // FALSE, with the page unchanged, when the file cannot be read.
    static BOOL Load(CFlnView& view, const CString& path);

    void OnSaveContent(CFlnView& view);
    void OnLoadContent(CFlnView& view);
    // The file last chosen in either dialog, where the next dialog starts.
    const CString& LastFile() const { return m_strParamFile; }

private:
    CString m_strParamFile;
};
