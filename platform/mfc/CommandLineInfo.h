#pragma once
// What the program was asked to do on its command line: CWinApp::ParseCommandLine hands every
// argument after the program's own name to ParseParam, and ProcessShellCommand carries it out.
// On Linux a flag starts with '-' only: '/' begins a path.

#include "platform/base/CString.h"

class CCommandLineInfo {
public:
    enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1 } m_nShellCommand = FileNew;

    BOOL m_bShowSplash = TRUE;
    BOOL m_bRunEmbedded = FALSE;  // -Embedding: started by another program to serve an object
    BOOL m_bRunAutomated = FALSE; // -Automation: started by another program to be driven
    CString m_strFileName;        // the document to open or print
    CString m_strPrinterName, m_strDriverName, m_strPortName; // -pt printer driver port

    virtual ~CCommandLineInfo() = default;

    // One argument: a flag without its '-' (flag TRUE) or a parameter; last marks the final one.
    virtual void ParseParam(LPCWSTR param, BOOL flag, BOOL last);

private:
    void ParseFlag(const CString& flag);
    void ParseParameter(LPCWSTR param);
    void ParseLast(BOOL last);
};
