#include "platform/mfc/CommandLineInfo.h"

void CCommandLineInfo::ParseParam(LPCWSTR param, BOOL flag, BOOL last)
{
    if (flag)
        ParseFlag(CString(param));
    else
        ParseParameter(param);
    ParseLast(last);
}

void CCommandLineInfo::ParseFlag(const CString& flag)
{
    if (flag.CompareNoCase(L"pt") == 0) {
        m_nShellCommand = FilePrintTo;
    } else if (flag.CompareNoCase(L"p") == 0) {
        m_nShellCommand = FilePrint;
    } else if (flag.CompareNoCase(L"Register") == 0 || flag.CompareNoCase(L"Regserver") == 0) {
        m_nShellCommand = AppRegister;
    } else if (flag.CompareNoCase(L"Unregister") == 0 || flag.CompareNoCase(L"Unregserver") == 0) {
        m_nShellCommand = AppUnregister;
    } else if (flag.CompareNoCase(L"dde") == 0) {
        m_nShellCommand = FileDDE;
    } else if (flag.CompareNoCase(L"Embedding") == 0) {
        m_bRunEmbedded = TRUE;
        m_bShowSplash = FALSE;
    } else if (flag.CompareNoCase(L"Automation") == 0) {
        m_bRunAutomated = TRUE;
        m_bShowSplash = FALSE;
    }
}

void CCommandLineInfo::ParseParameter(LPCWSTR param)
{
    if (m_strFileName.IsEmpty())
        m_strFileName = param;
    else if (m_nShellCommand == FilePrintTo && m_strPrinterName.IsEmpty())
        m_strPrinterName = param;
    else if (m_nShellCommand == FilePrintTo && m_strDriverName.IsEmpty())
        m_strDriverName = param;
    else if (m_nShellCommand == FilePrintTo && m_strPortName.IsEmpty())
        m_strPortName = param;
}

void CCommandLineInfo::ParseLast(BOOL last)
{
    if (!last)
        return;
    if (m_nShellCommand == FileNew && !m_strFileName.IsEmpty())
        m_nShellCommand = FileOpen;
    // A program started to serve or be driven shows no document of its own.
    if (m_bRunEmbedded || m_bRunAutomated)
        m_nShellCommand = FileNothing;
    m_bShowSplash = m_bShowSplash && !m_bRunEmbedded && !m_bRunAutomated;
}
