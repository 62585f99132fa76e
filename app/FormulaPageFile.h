#pragma once
// The Formula page's content on disk: the "Load Content..." and "Save Content..." commands with
// the parameter file the user chooses, and the reader and writer that the last-content file uses
// as well. Loaded field texts stay on the page as they were written; the page's numbers follow
// them at its next calculation.

#include "app/ParameterFile.h"

#include <vector>

class CFlnView;

class CFormulaPageFile {
public:
    // What the page would save now: its last formula and the field texts as they stand.
    static FormulaPageContent ContentOf(const CFlnView& view);
    // FALSE, with the reason as the last error, when the file could not be written.
    static BOOL Save(CFlnView& view, const CString& path);
    // FALSE, with the page unchanged and the reason as the last error, when the file cannot be read.
    // Loading neither calculates nor asks the user anything: a value the page cannot take keeps the
    // field's text and is described in problems, one line each, for the caller to report once.
    // A formula or derivative longer than the input line takes is cut to it and named in cut.
    static BOOL Load(CFlnView& view, const CString& path, std::vector<CString>* problems = nullptr,
        std::vector<CString>* cut = nullptr);
    // The report of a load for the user: why the file could not be read, or which of its values were
    // not taken; empty when it loaded whole.
    static CString LoadReport(const CString& path, BOOL loaded, const std::vector<CString>& problems);
    // The status bar's note on the texts a load cut; empty when it cut none.
    static CString CutReport(const CString& path, const std::vector<CString>& cut);

    void OnSaveContent(CFlnView& view);
    void OnLoadContent(CFlnView& view);
    // The file last chosen in either dialog, where the next dialog starts.
    const CString& LastFile() const { return m_strParamFile; }
    void SetLastFile(const CString& path) { m_strParamFile = path; }

private:
    CString m_strParamFile;
};
