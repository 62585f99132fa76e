#pragma once
// The main frame's settings in the application profile, section "FLN": the window placement, the
// input font heights of the two form pages, the Formula page's digit count and further formatter
// argument, and the speech and shared-memory switches. The pages' last content goes to "Fln.ini"
// in the user's settings folder (LastContentPath), where every user can write it.

#include "platform/base/CString.h"
#include "platform/user/WinUser.h"

#include <optional>

class CWinApp;
struct DatePageContent;
struct FormulaPageContent;

struct FrameSettings {
    std::optional<WINDOWPLACEMENT> placement; // none: the window stays where it was put
    int inputFormulaHeight = 10;
    int inputCalendarHeight = 10;
    int digits = 6;
    int formatOption = 2;
    BOOL speech = FALSE;
    BOOL sharedMemory = TRUE;

    // Missing values take the defaults above; a placement of another size than the record's is ignored.
    static FrameSettings Load(CWinApp& app);
    // Writes the values in one change of the profile's file. FALSE, with the reason of the first
    // failure as the last error, when a value was not written.
    BOOL Save(CWinApp& app) const;
};

// Where a stored window place puts the window: none when it cannot hold a usable window (empty,
// inverted, smaller than `minimum`, or on no monitor); otherwise the place, moved (and, when larger,
// cut) onto the work area of the monitor that shows most of it.
std::optional<RECT> UsableWindowPlace(const RECT& stored, SIZE minimum);

// The last-content file of the Formula and Date & Time pages: "Fln.ini" in the settings folder.
CString LastContentPath();
// Writes the given pages' sections of the last-content file in one change of the file (the Date &
// Time page's "INFO" and "CHECKS" are the ones kept); other sections stay. FALSE, with the reason
// as the last error, when the file could not be written.
BOOL SaveLastContent(const CString& path, const FormulaPageContent* formula, const DatePageContent* date);

// The file the profile values are kept in.
CString ProfilePath(const CWinApp& app);
// Why a file (or the settings folder) could not be written, from the last error, for the user.
CString WriteFailureText(const CString& path);
// Why a file could not be read, from the last error (none: the file held nothing), for the user.
CString ReadFailureText(const CString& path);
