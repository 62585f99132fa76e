#include "platform/script/VbsErrors.h"

#include "platform/com/Automation.h"
#include "platform/com/Guid.h"
#include "platform/com/OleTypes.h"

#include <unordered_map>

namespace vbs {

std::wstring ErrorText(int number)
{
    static const std::unordered_map<int, const wchar_t*> texts = {
        {5, L"Invalid procedure call or argument"},
        {6, L"Overflow"},
        {7, L"Out of memory"},
        {9, L"Subscript out of range"},
        {10, L"This array is fixed or temporarily locked"},
        {11, L"Division by zero"},
        {13, L"Type mismatch"},
        {14, L"Out of string space"},
        {28, L"Out of stack space"},
        {35, L"Sub or Function not defined"},
        {48, L"Error in loading DLL"},
        {51, L"Internal error"},
        {52, L"Bad file name or number"},
        {53, L"File not found"},
        {54, L"Bad file mode"},
        {55, L"File already open"},
        {57, L"Device I/O error"},
        {58, L"File already exists"},
        {61, L"Disk full"},
        {62, L"Input past end of file"},
        {67, L"Too many files"},
        {68, L"Device unavailable"},
        {70, L"Permission denied"},
        {71, L"Disk not ready"},
        {74, L"Can't rename with different drive"},
        {75, L"Path/File access error"},
        {76, L"Path not found"},
        {91, L"Object variable not set"},
        {92, L"For loop not initialized"},
        {94, L"Invalid use of Null"},
        {322, L"Can't create necessary temporary file"},
        {424, L"Object required"},
        {429, L"ActiveX component can't create object"},
        {430, L"Class doesn't support Automation"},
        {432, L"File name or class name not found during Automation operation"},
        {438, L"Object doesn't support this property or method"},
        {440, L"Automation error"},
        {445, L"Object doesn't support this action"},
        {446, L"Object doesn't support named arguments"},
        {447, L"Object doesn't support current locale setting"},
        {448, L"Named argument not found"},
        {449, L"Argument not optional"},
        {450, L"Wrong number of arguments or invalid property assignment"},
        {451, L"Object not a collection"},
        {453, L"Specified DLL function not found"},
        {455, L"Code resource lock error"},
        {457, L"This key is already associated with an element of this collection"},
        {458, L"Variable uses an Automation type not supported in VBScript"},
        {462, L"The remote server machine does not exist or is unavailable"},
        {481, L"Invalid picture"},
        {500, L"Variable is undefined"},
        {501, L"Illegal assignment"},
        {502, L"Object not safe for scripting"},
        {503, L"Object not safe for initializing"},
        {504, L"Object not safe for creating"},
        {505, L"Invalid or unqualified reference"},
        {506, L"Class not defined"},
        {507, L"An exception occurred"},
        {5016, L"Regular Expression object expected"},
        {5017, L"Syntax error in regular expression"},
        {5018, L"Unexpected quantifier"},
        {5019, L"Expected ']' in regular expression"},
        {5020, L"Expected ')' in regular expression"},
        {5021, L"Invalid range in character set"},
        {32811, L"Element not found"},
        {1001, L"Out of memory"},
        {1002, L"Syntax error"},
        {1003, L"Expected ':'"},
        {1005, L"Expected '('"},
        {1006, L"Expected ')'"},
        {1007, L"Expected ']'"},
        {1010, L"Expected identifier"},
        {1011, L"Expected '='"},
        {1012, L"Expected 'If'"},
        {1013, L"Expected 'To'"},
        {1014, L"Expected 'End'"},
        {1015, L"Expected 'Function'"},
        {1016, L"Expected 'Sub'"},
        {1017, L"Expected 'Then'"},
        {1018, L"Expected 'Wend'"},
        {1019, L"Expected 'Loop'"},
        {1020, L"Expected 'Next'"},
        {1021, L"Expected 'Case'"},
        {1022, L"Expected 'Select'"},
        {1023, L"Expected expression"},
        {1024, L"Expected statement"},
        {1025, L"Expected end of statement"},
        {1026, L"Expected integer constant"},
        {1027, L"Expected 'While' or 'Until'"},
        {1028, L"Expected 'While', 'Until' or end of statement"},
        {1029, L"Expected 'With'"},
        {1030, L"Identifier too long"},
        {1031, L"Invalid number"},
        {1032, L"Invalid character"},
        {1033, L"Unterminated string constant"},
        {1034, L"Unterminated comment"},
        {1037, L"Invalid use of 'Me' keyword"},
        {1038, L"'loop' without 'do'"},
        {1039, L"Invalid 'exit' statement"},
        {1040, L"Invalid 'for' loop control variable"},
        {1041, L"Name redefined"},
        {1042, L"Must be first statement on the line"},
        {1044, L"Cannot use parentheses when calling a Sub"},
        {1045, L"Expected literal constant"},
        {1046, L"Expected 'In'"},
        {1047, L"Expected 'Class'"},
        {1048, L"Must be defined inside a Class"},
        {1049, L"Expected Let or Set or Get in property declaration"},
        {1050, L"Expected 'Property'"},
        {1051, L"Number of arguments must be consistent across properties specification"},
        {1052, L"Cannot have multiple default property/method in a Class"},
        {1053, L"Class initialize or terminate do not have arguments"},
        {1054, L"Property Set or Let must have at least one argument"},
        {1055, L"Unexpected 'Next'"},
        {1057, L"'Default' specification must also specify 'Public'"},
        {1058, L"'Default' specification can only be on Property Get"},
    };
    auto it = texts.find(number);
    return it != texts.end() ? it->second : L"Unknown runtime error";
}

void Throw(int number)
{
    throw ScriptError{number, ErrorText(number), kRuntimeErrorSource};
}

void Throw(int number, std::wstring description)
{
    throw ScriptError{number, std::move(description), kRuntimeErrorSource};
}

namespace {

constexpr HRESULT Code(DWORD bits) { return static_cast<HRESULT>(bits); }

// The failure codes of other objects that the language reports as one of its own errors. Codes of
// these families it does not name (E_FAIL, RPC_E_DISCONNECTED, CO_E_SERVER_EXEC_FAILURE...) reach the
// script as themselves.
struct KnownFailure {
    HRESULT code;
    int number;
};
constexpr KnownFailure kKnownFailures[] = {
    // Generic.
    {E_OUTOFMEMORY, kOutOfMemory},
    {E_INVALIDARG, kInvalidProcedureCall},
    {E_NOINTERFACE, kNoAutomation},
    {E_NOTIMPL, kActionNotSupported},
    {Code(0x80070005), kPermissionDenied},  // E_ACCESSDENIED
    // Automation calls.
    {DISP_E_UNKNOWNINTERFACE, kMemberNotSupported},
    {DISP_E_MEMBERNOTFOUND, kMemberNotSupported},
    {DISP_E_PARAMNOTFOUND, kNamedArgumentNotFound},
    {DISP_E_TYPEMISMATCH, kTypeMismatch},
    {DISP_E_UNKNOWNNAME, kMemberNotSupported},
    {DISP_E_NONAMEDARGS, kNamedArgumentsNotSupported},
    {DISP_E_BADVARTYPE, kUnsupportedAutomationType},
    {DISP_E_EXCEPTION, kExceptionOccurred},
    {DISP_E_OVERFLOW, kOverflow},
    {DISP_E_BADINDEX, kSubscriptOutOfRange},
    {Code(0x8002000C), kLocaleNotSupported},  // DISP_E_UNKNOWNLCID
    {DISP_E_ARRAYISLOCKED, kArrayFixedOrLocked},
    {DISP_E_BADPARAMCOUNT, kWrongArgumentCount},
    {DISP_E_PARAMNOTOPTIONAL, kArgumentNotOptional},
    {DISP_E_NOTACOLLECTION, kNotACollection},
    {DISP_E_DIVBYZERO, kDivisionByZero},
    // Type information and libraries.
    {TYPE_E_ELEMENTNOTFOUND, kElementNotFound},
    {Code(0x8002802F), kDllFunctionNotFound},  // TYPE_E_DLLFUNCTIONNOTFOUND
    {Code(0x80028CA0), kTypeMismatch},  // TYPE_E_TYPEMISMATCH
    {Code(0x80028CA1), kSubscriptOutOfRange},  // TYPE_E_OUTOFBOUNDS
    {Code(0x80028CA2), kDeviceIOError},  // TYPE_E_IOERROR
    {Code(0x80028CA3), kCannotCreateTemporaryFile},  // TYPE_E_CANTCREATETMPFILE
    {Code(0x80029C4A), kErrorLoadingDll},  // TYPE_E_CANTLOADLIBRARY
    // Structured storage.
    {Code(0x80030002), kFileOrClassNotFound},  // STG_E_FILENOTFOUND
    {Code(0x80030003), kPathNotFound},  // STG_E_PATHNOTFOUND
    {Code(0x80030004), kTooManyFiles},  // STG_E_TOOMANYOPENFILES
    {Code(0x80030005), kPermissionDenied},  // STG_E_ACCESSDENIED
    {Code(0x80030008), kOutOfMemory},  // STG_E_INSUFFICIENTMEMORY
    {Code(0x80030012), kTooManyFiles},  // STG_E_NOMOREFILES
    {Code(0x80030013), kPermissionDenied},  // STG_E_DISKISWRITEPROTECTED
    {Code(0x8003001D), kDeviceIOError},  // STG_E_WRITEFAULT
    {Code(0x8003001E), kDeviceIOError},  // STG_E_READFAULT
    {Code(0x80030020), kPathFileAccessError},  // STG_E_SHAREVIOLATION
    {Code(0x80030021), kPermissionDenied},  // STG_E_LOCKVIOLATION
    {Code(0x80030050), kFileAlreadyExists},  // STG_E_FILEALREADYEXISTS
    {Code(0x80030070), kDiskFull},  // STG_E_MEDIUMFULL
    {Code(0x800300FC), kFileNotFound},  // STG_E_INVALIDNAME
    {Code(0x80030100), kPermissionDenied},  // STG_E_INUSE
    {Code(0x80030101), kPermissionDenied},  // STG_E_NOTCURRENT
    {Code(0x80030103), kDeviceIOError},  // STG_E_CANTSAVE
    // Creating and finding objects.
    {REGDB_E_CLASSNOTREG, kCannotCreateObject},
    {Code(0x800401E3), kCannotCreateObject},  // MK_E_UNAVAILABLE
    {Code(0x800401E6), kFileOrClassNotFound},  // MK_E_INVALIDEXTENSION
    {Code(0x800401EA), kFileOrClassNotFound},  // MK_E_CANTOPENFILE
    {CO_E_CLASSSTRING, kCannotCreateObject},
    {Code(0x800401F5), kCannotCreateObject},  // CO_E_APPNOTFOUND
    {Code(0x800401FE), kCannotCreateObject},  // CO_E_APPDIDNTREG
    // Remote calls.
    {Code(0x800706BA), kRemoteServerUnavailable},  // RPC_S_SERVER_UNAVAILABLE
};

} // namespace

int LanguageErrorNumber(HRESULT hr)
{
    for (const KnownFailure& known : kKnownFailures)
        if (known.code == hr)
            return known.number;
    return (static_cast<DWORD>(hr) & 0xFFFF0000u) == 0x800A0000u ? (hr & 0xFFFF) : hr;
}

ScriptError ErrorFromObject(HRESULT hr, EXCEPINFO& info)
{
    ScriptError e;
    e.source = kRuntimeErrorSource;
    if (hr != DISP_E_EXCEPTION) {
        ClearExcepInfo(&info);
        e.number = LanguageErrorNumber(hr);
        e.scode = hr;
        e.description = ErrorText(e.number);
        return e;
    }
    if (info.pfnDeferredFillIn)
        info.pfnDeferredFillIn(&info);
    // An exception that names neither a code nor a number is still an error.
    e.scode = info.scode;
    e.number = info.scode ? LanguageErrorNumber(info.scode) : info.wCode ? int(info.wCode) : int(kExceptionOccurred);
    std::wstring_view description = BstrView(info.bstrDescription);
    e.description = description.empty() ? ErrorText(e.number) : std::wstring(description);
    if (info.bstrSource && SysStringLen(info.bstrSource))
        e.source = BstrView(info.bstrSource);
    e.helpFile = BstrView(info.bstrHelpFile);
    e.helpContext = static_cast<LONG>(info.dwHelpContext);
    ClearExcepInfo(&info);
    return e;
}

} // namespace vbs
