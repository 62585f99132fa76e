#pragma once
// The Formula page's content as a parameter file (".fm", INI format) and as its part of the
// last-content file "Fln.ini". Field values are kept as the user typed them; the writer replaces
// only its own eight sections, so the Date & Time page's sections of "Fln.ini" survive.

#include "app/IniFile.h"

#include <array>
#include <vector>

struct FormulaPageContent {
    CString formula;                    // the formula of the last calculation
    CString derivative;
    CString physConstValue;             // the value text of the chosen physical constant
    std::array<CString, 7> constants;   // the texts of the fields A to G
    CString x, digits, xa, xb;          // the texts of the fields x, digit count, xa and xb
    int numberFormat = 1;               // NumberFormatMode, 1 to 8
    BOOL verify = FALSE;
    BOOL viewTooltips = FALSE;
};

// The longest formula (and derivative) the page takes, as many characters as its input line holds:
// a longer one read from a file is cut to it, so that no file makes the page slow to load or show.
constexpr int kLongestFormula = 1024;

// The filter of the parameter-file dialogs.
extern const wchar_t kParameterFileFilter[];

// Sets the page's eight sections in the mirror, each key once, without writing the file.
void PutFormulaPageContent(CIniFile& ini, const FormulaPageContent& content);
// FALSE, with the reason as the last error, when the file could not be written.
BOOL SaveFormulaPageContent(CIniFile& ini, const CString& path, const FormulaPageContent& content);
// Reads the file over content. A missing text key reads as empty, the switches as off and the
// number format as 1; the number format is brought into 1..8. A value the page could not take (a
// field text that is no number, a digit count that is no integer, a switch or number format with no
// integer at its start) leaves content's value as it was and is described in problems, one line
// each. A formula or derivative longer than kLongestFormula is cut to it and named in cut ("formula",
// "derivative"). FALSE, with content untouched and the reason as the last error, when the file
// cannot be read.
BOOL LoadFormulaPageContent(CIniFile& ini, const CString& path, FormulaPageContent& content,
    std::vector<CString>* problems = nullptr, std::vector<CString>* cut = nullptr);
