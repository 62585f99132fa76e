#pragma once
// The Date & Time page's content on disk: the date file (".fmd", INI format) of the "Load
// Content..." and "Save Content..." commands, and the page's sections of the last-content file
// "Fln.ini". The file is written through the INI mirror, whose writes replace the file atomically;
// a file that is not the page's, or whose values are damaged, is refused whole.

#include "platform/base/CString.h"

class CDlgCalendarView;
class CIniFile;

// What the page keeps on disk.
struct DatePageContent {
    CString input;
    BOOL viewTooltips = TRUE;
    int dateFormat = 1;
};

class CDateFile {
public:
    enum class LoadResult {
        Loaded,
        Missing,  // the file could not be read: the date format goes back to 1, the rest stays
        Foreign,  // no section of the page: nothing changes
        Damaged,  // a value the page cannot take: nothing changes
    };

    static DatePageContent ContentOf(const CDlgCalendarView& view);
    // Sets the page's four sections in the mirror without writing the file.
    static void Put(CIniFile& ini, const DatePageContent& content);
    // Writes the page's input, tooltip switch and date format in one change of the file; FALSE,
    // with the reason as the last error, when the file could not be written.
    static BOOL Save(CIniFile& ini, const CString& path, const DatePageContent& content);
    static BOOL Save(CDlgCalendarView& view, const CString& path);
    static LoadResult Load(CDlgCalendarView& view, const CString& path);

    // The commands: a file dialog, then the file; a refused or unwritable file is reported.
    static void OnSaveContent(CDlgCalendarView& view);
    static void OnLoadContent(CDlgCalendarView& view);
};

// The filter of the date-file dialogs.
extern const wchar_t kDateFileFilter[];
