#include "app/ParameterFile.h"

#include "platform/base/ErrorCodes.h"
#include "platform/mfc/DataExchange.h"
#include "res/Formulon.h"

#include <algorithm>
#include <cwctype>
#include <optional>

const wchar_t kParameterFileFilter[] = L"Parameter (.fm)|*.fm|"
                                       L"Text Files (.txt)|*.txt|"
                                       L"All Supported Files (.fm;.txt;)|*.fm;*.txt;|"
                                       L"All Files (*.*)|*.*|";

namespace {

constexpr const wchar_t* kConstantKeys[] = { L"A", L"B", L"C", L"D", L"E", L"F", L"G" };

CString ProgramNameAndVersion()
{
    CString text;
    if (!text.LoadString(IDS_PROGRAM_TITLE))
        text = L"Formulon";
    return text;
}

} // namespace

void PutFormulaPageContent(CIniFile& ini, const FormulaPageContent& content)
{
    ini.SetBool(L"INFO", L"Name", true);
    ini.SetString(L"INFO", L"Version", ProgramNameAndVersion());
    ini.SetString(L"TAB_FORMEL", L"f(x)", content.formula);
    ini.SetString(L"TAB_DERIVATION", L"f'(x)", content.derivative);
    ini.SetString(L"PHYS_CONST", L"PC", content.physConstValue);
    for (size_t i = 0; i < content.constants.size(); ++i)
        ini.SetString(L"CONSTANTS", kConstantKeys[i], content.constants[i]);
    ini.SetString(L"CONSTANTS", L"X", content.x);
    ini.SetString(L"CONSTANTS", L"Comma", content.digits);
    ini.SetInt(L"CONSTANTS", L"CommaTyp", content.numberFormat);
    ini.SetString(L"INTERVALL", L"XA", content.xa);
    ini.SetString(L"INTERVALL", L"XB", content.xb);
    ini.SetInt(L"VERIFY", L"VerifyResult", content.verify ? 1 : 0);
    ini.SetInt(L"CHECKS", L"ViewTooltips", content.viewTooltips ? 1 : 0);
}

BOOL SaveFormulaPageContent(CIniFile& ini, const CString& path, const FormulaPageContent& content)
{
    ini.SetFileName(path);
    ini.RemoveAll();
    PutFormulaPageContent(ini, content);
    return ini.Flush();
}

namespace {

// Reads the values the page must be able to take, noting each one it cannot.
class CheckedReader {
public:
    CheckedReader(const CIniFile& ini, std::vector<CString>* problems) : m_ini(ini), m_problems(problems) {}

    CString Text(const wchar_t* section, const wchar_t* key) const { return m_ini.GetValue(section, key); }

    // A formula text, cut to what the page takes; what, when cut, goes into cut.
    CString Formula(const wchar_t* section, const wchar_t* key, const wchar_t* what, std::vector<CString>* cut) const
    {
        CString text = Text(section, key);
        if (text.GetLength() <= kLongestFormula)
            return text;
        if (cut)
            cut->push_back(what);
        return text.Left(kLongestFormula);
    }

    // A field the exchange reads as a number (or as an int): empty, or a number it reads.
    void Field(const wchar_t* section, const wchar_t* key, CString& field, bool integer = false) const
    {
        const CString text = Text(section, key);
        if (!text.IsEmpty() && !(integer ? ReadExchangedInteger(text).has_value() : IsNumber(text))) {
            Note(key, text, integer ? L"is not a whole number" : L"is not a number");
            return;
        }
        field = text;
    }

    // An integer as the file's readers have always read it: its leading digits, or the default when empty.
    std::optional<int> Integer(const wchar_t* section, const wchar_t* key, int defaultValue) const
    {
        const CString text = Text(section, key);
        if (text.IsEmpty())
            return defaultValue;
        const wchar_t* p = text.GetString();
        while (std::iswspace(*p))
            ++p;
        if (*p == L'+' || *p == L'-')
            ++p;
        if (!std::iswdigit(*p)) {
            Note(key, text, L"is not a whole number");
            return std::nullopt;
        }
        return m_ini.GetInt(section, key, defaultValue);
    }

private:
    // A number as the exchange reads it, or written with a decimal comma in a file from another locale.
    static bool IsNumber(CString text)
    {
        if (ReadExchangedNumber(text))
            return true;
        text.Replace(L',', L'.');
        return ReadExchangedNumber(text).has_value();
    }

    void Note(const wchar_t* key, CString text, const wchar_t* what) const
    {
        if (!m_problems)
            return;
        constexpr int Shown = 40;
        if (text.GetLength() > Shown)
            text = text.Left(Shown) + L"...";
        m_problems->push_back(CString(L"\"") + key + L"\" = \"" + text + L"\" " + what);
    }

    const CIniFile& m_ini;
    std::vector<CString>* m_problems;
};

} // namespace

BOOL LoadFormulaPageContent(CIniFile& ini, const CString& path, FormulaPageContent& content, std::vector<CString>* problems,
    std::vector<CString>* cut)
{
    ini.SetFileName(path);
    SetLastError(ERROR_SUCCESS);
    if (!ini.Load() && ini.GetSections().empty())
        return FALSE;
    const CheckedReader read(ini, problems);
    content.formula = read.Formula(L"TAB_FORMEL", L"f(x)", L"formula", cut);
    content.derivative = read.Formula(L"TAB_DERIVATION", L"f'(x)", L"derivative", cut);
    content.physConstValue = read.Text(L"PHYS_CONST", L"PC");
    for (size_t i = 0; i < content.constants.size(); ++i)
        read.Field(L"CONSTANTS", kConstantKeys[i], content.constants[i]);
    read.Field(L"CONSTANTS", L"X", content.x);
    read.Field(L"CONSTANTS", L"Comma", content.digits, true);
    read.Field(L"INTERVALL", L"XA", content.xa);
    read.Field(L"INTERVALL", L"XB", content.xb);
    if (const auto verify = read.Integer(L"VERIFY", L"VerifyResult", 0))
        content.verify = *verify != 0;
    if (const auto tooltips = read.Integer(L"CHECKS", L"ViewTooltips", 0))
        content.viewTooltips = *tooltips != 0;
    if (const auto format = read.Integer(L"CONSTANTS", L"CommaTyp", 1))
        content.numberFormat = std::clamp(*format, 1, 8);
    return TRUE;
}
