#include "app/ParameterFile.h"

#include <algorithm>

const wchar_t kParameterFileFilter[] = L"Parameter (.fm)|*.fm|"
                                       L"Text Files (.txt)|*.txt|"
                                       L"All Supported Files (.fm;.txt;)|*.fm;*.txt;|"
                                       L"All Files (*.*)|*.*|";

namespace {

constexpr const wchar_t* kConstantKeys[] = { L"A", L"B", L"C", L"D", L"E", L"F", L"G" };

CString ProgramNameAndVersion()
{
    CString text;
    if (!text.LoadString(300))
        text = L"Formulon";
    return text;
}

} // namespace

BOOL SaveFormulaPageContent(CIniFile& ini, const CString& path, const FormulaPageContent& content)
{
    ini.SetFileName(path);
    ini.RemoveAll();
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
    return ini.Flush();
}

BOOL LoadFormulaPageContent(CIniFile& ini, const CString& path, FormulaPageContent& content)
{
    ini.SetFileName(path);
    if (!ini.Load())
        return FALSE;
    content.formula = ini.GetValue(L"TAB_FORMEL", L"f(x)");
    content.derivative = ini.GetValue(L"TAB_DERIVATION", L"f'(x)");
    content.physConstValue = ini.GetValue(L"PHYS_CONST", L"PC");
    for (size_t i = 0; i < content.constants.size(); ++i)
        content.constants[i] = ini.GetValue(L"CONSTANTS", kConstantKeys[i]);
    content.x = ini.GetValue(L"CONSTANTS", L"X");
    content.digits = ini.GetValue(L"CONSTANTS", L"Comma");
    content.xa = ini.GetValue(L"INTERVALL", L"XA");
    content.xb = ini.GetValue(L"INTERVALL", L"XB");
    content.verify = ini.GetInt(L"VERIFY", L"VerifyResult", 0) != 0;
    content.viewTooltips = ini.GetInt(L"CHECKS", L"ViewTooltips", 0) != 0;
    content.numberFormat = std::clamp(ini.GetInt(L"CONSTANTS", L"CommaTyp", 1), 1, 8);
    return TRUE;
}
