#pragma once
// The script language's error numbers and their texts, and the error object the engine throws
// while compiling or running a script.

#include "platform/base/WinTypes.h"
#include "platform/com/OleTypes.h"

#include <string>

namespace vbs {

enum ErrorNumber : int {
    kInvalidProcedureCall = 5,
    kOverflow = 6,
    kOutOfMemory = 7,
    kSubscriptOutOfRange = 9,
    kArrayFixedOrLocked = 10,
    kDivisionByZero = 11,
    kTypeMismatch = 13,
    kOutOfStackSpace = 28,
    kSubNotDefined = 35,
    kErrorLoadingDll = 48,
    kFileNotFound = 53,
    kDeviceIOError = 57,
    kFileAlreadyExists = 58,
    kDiskFull = 61,
    kTooManyFiles = 67,
    kPermissionDenied = 70,
    kPathFileAccessError = 75,
    kPathNotFound = 76,
    kObjectVariableNotSet = 91,
    kForLoopNotInitialized = 92,
    kInvalidUseOfNull = 94,
    kCannotCreateTemporaryFile = 322,
    kObjectRequired = 424,
    kCannotCreateObject = 429,
    kNoAutomation = 430,
    kFileOrClassNotFound = 432,
    kMemberNotSupported = 438,
    kAutomationError = 440,
    kActionNotSupported = 445,
    kNamedArgumentsNotSupported = 446,
    kLocaleNotSupported = 447,
    kNamedArgumentNotFound = 448,
    kArgumentNotOptional = 449,
    kWrongArgumentCount = 450,
    kNotACollection = 451,
    kDllFunctionNotFound = 453,
    kUnsupportedAutomationType = 458,
    kRemoteServerUnavailable = 462,
    kVariableUndefined = 500,
    kIllegalAssignment = 501,
    kInvalidReference = 505,
    kClassNotDefined = 506,
    kExceptionOccurred = 507,
    kRegExpSyntax = 5017,
    kElementNotFound = 32811,

    kSyntaxError = 1002,
    kExpectedColon = 1003,
    kExpectedOpenParen = 1005,
    kExpectedCloseParen = 1006,
    kExpectedIdentifier = 1010,
    kExpectedEquals = 1011,
    kExpectedIf = 1012,
    kExpectedTo = 1013,
    kExpectedEnd = 1014,
    kExpectedFunction = 1015,
    kExpectedSub = 1016,
    kExpectedThen = 1017,
    kExpectedWend = 1018,
    kExpectedLoop = 1019,
    kExpectedNext = 1020,
    kExpectedCase = 1021,
    kExpectedSelect = 1022,
    kExpectedExpression = 1023,
    kExpectedStatement = 1024,
    kExpectedEndOfStatement = 1025,
    kExpectedIntegerConstant = 1026,
    kExpectedWhileOrUntil = 1027,
    kExpectedWhileUntilOrEnd = 1028,
    kExpectedWith = 1029,
    kIdentifierTooLong = 1030,
    kInvalidNumber = 1031,
    kInvalidCharacter = 1032,
    kUnterminatedString = 1033,
    kInvalidUseOfMe = 1037,
    kLoopWithoutDo = 1038,
    kInvalidExit = 1039,
    kInvalidForVariable = 1040,
    kNameRedefined = 1041,
    kMustBeFirstStatement = 1042,
    kParenthesesOnSubCall = 1044,
    kExpectedLiteral = 1045,
    kExpectedIn = 1046,
    kExpectedClass = 1047,
    kMustBeInsideClass = 1048,
    kExpectedLetSetGet = 1049,
    kExpectedProperty = 1050,
    kInconsistentPropertyArguments = 1051,
    kMultipleDefaults = 1052,
    kInitializeTerminateArguments = 1053,
    kPropertyNeedsArgument = 1054,
    kUnexpectedNext = 1055,
    kDefaultNeedsPublic = 1057,
    kDefaultOnlyOnGet = 1058,
};

// The language's text for an error number; "Unknown runtime error" for numbers it does not name.
std::wstring ErrorText(int number);

constexpr const wchar_t* kRuntimeErrorSource = L"VBScript runtime error";
constexpr const wchar_t* kCompileErrorSource = L"VBScript compilation error";

struct ScriptError {
    int number = 0;  // the language's number; for errors of other objects the failure code itself
    std::wstring description;
    std::wstring source;
    int line = -1;  // 0-based, -1 until known
    int column = -1;  // 0-based
    bool inRunTimeText = false;  // the line is one of text given to Eval, Execute or ExecuteGlobal
    bool compile = false;
    bool endsRun = false;  // the system ran out of memory: On Error Resume Next does not go on
    HRESULT scode = 0;
    std::wstring helpFile;
    LONG helpContext = 0;
};

// The run-time error number the language reports for a failure code an object returned: its own
// number for the codes it knows, the low word of its own facility's codes, else the code itself.
int LanguageErrorNumber(HRESULT hr);

// The error an object's failed call gives: hr, or with DISP_E_EXCEPTION the record the object
// filled (which is cleared). Its number is LanguageErrorNumber of the object's code.
ScriptError ErrorFromObject(HRESULT hr, EXCEPINFO& info);

// Thrown for a runtime error numbered number with its standard text.
[[noreturn]] void Throw(int number);
[[noreturn]] void Throw(int number, std::wstring description);

// Thrown when the host interrupts the script or the step budget runs out; not catchable by scripts.
struct ScriptInterrupted {
    bool reportError = false;
    int line = -1;  // of the statement that was about to run or running
    int column = -1;
    bool inRunTimeText = false;
};

} // namespace vbs
