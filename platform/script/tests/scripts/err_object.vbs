' The Err object: what Raise keeps, and the numbers and texts failures of host objects become.

On Error Resume Next
Err.Raise 1234, "my source", "my text", "help.hlp", 42
Check Err.Number, CLng(1234), "Raise keeps the number"
Check Err.Source, "my source", "Raise keeps the source"
Check Err.Description, "my text", "Raise keeps the description"
Check Err.HelpFile, "help.hlp", "Raise keeps the help file"
Check Err.HelpContext, CLng(42), "Raise keeps the help context"
Err.Clear
Check Err.HelpFile & Err.HelpContext, "0", "Clear empties the help"
Err.Raise 9
Check Err.Description, "Subscript out of range", "Raise of a known number takes its text"
Check Err.Source, "VBScript runtime error", "Raise without a source"
Err.Clear

' Raise's number: a Long, rounded half to even; no number, zero and numbers past 65535 are errors of
' their own; a failure code of a kind the language names is raised as that error, with its text.
Function Raised(statement)
    On Error Resume Next
    Err.Clear
    Execute statement
    Raised = Err.Number & " " & Err.Description & " [" & Err.Source & "]"
    Err.Clear
End Function
Dim raises
raises = Array( _
    "Err.Raise", "450 Wrong number of arguments or invalid property assignment [VBScript runtime error]", _
    "Err.Raise 0", "5 Invalid procedure call or argument [VBScript runtime error]", _
    "Err.Raise Empty", "5 Invalid procedure call or argument [VBScript runtime error]", _
    "Err.Raise &h10000&", "5 Invalid procedure call or argument [VBScript runtime error]", _
    "Err.Raise 2147483647", "5 Invalid procedure call or argument [VBScript runtime error]", _
    "Err.Raise -3000000000", "6 Overflow [VBScript runtime error]", _
    "Err.Raise 3000000000", "6 Overflow [VBScript runtime error]", _
    "Err.Raise Null", "94 Invalid use of Null [VBScript runtime error]", _
    "Err.Raise ""abc""", "13 Type mismatch [VBScript runtime error]", _
    "Err.Raise ""42""", "42 Unknown runtime error [VBScript runtime error]", _
    "Err.Raise 65535", "65535 Unknown runtime error [VBScript runtime error]", _
    "Err.Raise 1.5", "2 Unknown runtime error [VBScript runtime error]", _
    "Err.Raise 2.5", "2 Unknown runtime error [VBScript runtime error]", _
    "Err.Raise 11.4", "11 Division by zero [VBScript runtime error]", _
    "Err.Raise 1, ""abc""", "1 Unknown runtime error [abc]", _
    "Err.Raise &h8007000E&", "7 Out of memory [VBScript runtime error]", _
    "Err.Raise &h800A0035", "53 File not found [VBScript runtime error]", _
    "Err.Raise vbObjectError + 1", "-2147221503 Unknown runtime error [VBScript runtime error]", _
    "Err.Raise -1, , ""own""", "-1 own [VBScript runtime error]")
For i = 0 To UBound(raises) Step 2
    Check Raised(raises(i)), raises(i + 1), raises(i)
Next

x = 1 / 0
Check Err.Source & "|" & Err.Description, "VBScript runtime error|Division by zero", "run-time error texts"
Err.Clear

' Failure codes a host object returns, as Err shows them.
Dim codes
codes = Array( _
    &h80004002, 430, "Class doesn't support Automation", _
    &h80004001, 445, "Object doesn't support this action", _
    &h80020003, 438, "Object doesn't support this property or method", _
    &h80020004, 448, "Named argument not found", _
    &h80020005, 13, "Type mismatch", _
    &h80020008, 458, "Variable uses an Automation type not supported in VBScript", _
    &h8002000A, 6, "Overflow", _
    &h8002000B, 9, "Subscript out of range", _
    &h8002000E, 450, "Wrong number of arguments or invalid property assignment", _
    &h8002000F, 449, "Argument not optional", _
    &h80020011, 451, "Object not a collection", _
    &h80070057, 5, "Invalid procedure call or argument", _
    &h8007000E, 7, "Out of memory", _
    &h80070005, 70, "Permission denied", _
    &h8002000C, 447, "Object doesn't support current locale setting", _
    &h80020012, 11, "Division by zero", _
    &h8002802B, 32811, "Element not found", _
    &h8002802F, 453, "Specified DLL function not found", _
    &h80028CA0, 13, "Type mismatch", _
    &h80028CA1, 9, "Subscript out of range", _
    &h80028CA2, 57, "Device I/O error", _
    &h80028CA3, 322, "Can't create necessary temporary file", _
    &h80029C4A, 48, "Error in loading DLL", _
    &h80030002, 432, "File name or class name not found during Automation operation", _
    &h80030003, 76, "Path not found", _
    &h80030004, 67, "Too many files", _
    &h80030005, 70, "Permission denied", _
    &h80030008, 7, "Out of memory", _
    &h8003001D, 57, "Device I/O error", _
    &h80030020, 75, "Path/File access error", _
    &h80030021, 70, "Permission denied", _
    &h80030050, 58, "File already exists", _
    &h80030070, 61, "Disk full", _
    &h800300FC, 53, "File not found", _
    &h80040154, 429, "ActiveX component can't create object", _
    &h800401E3, 429, "ActiveX component can't create object", _
    &h800401EA, 432, "File name or class name not found during Automation operation", _
    &h800401F3, 429, "ActiveX component can't create object", _
    &h800401F5, 429, "ActiveX component can't create object", _
    &h800706BA, 462, "The remote server machine does not exist or is unavailable", _
    &h800A0009, 9, "Subscript out of range")
For i = 0 To UBound(codes) Step 3
    Err.Clear
    Host.Fail codes(i)
    Check Err.Number, CLng(codes(i + 1)), "number for " & Hex(codes(i))
    Check Err.Description, codes(i + 2), "text for " & Hex(codes(i))
    Err.Clear
    Host.Throw codes(i), "host.hlp", 7
    Check Err.Number, CLng(codes(i + 1)), "number for an exception of " & Hex(codes(i))
    Check Err.Description, codes(i + 2), "text for an exception of " & Hex(codes(i))
    Check Err.HelpFile & " " & Err.HelpContext, "host.hlp 7", "help of an exception of " & Hex(codes(i))
Next

' Codes of those families that the language names no error for reach the script as themselves.
Dim ownCodes
ownCodes = Array(&h80004005, &h8000FFFF, &h80010108, &h8001011F, &h80080005, &h800706BE, &h800300FB)
For i = 0 To UBound(ownCodes)
    Err.Clear
    Host.Fail ownCodes(i)
    Check Err.Number, CLng(ownCodes(i)), "own number for " & Hex(ownCodes(i))
    Err.Clear
    Host.Throw ownCodes(i), "", 0
    Check Err.Number, CLng(ownCodes(i)), "own number for an exception of " & Hex(ownCodes(i))
Next

' A code outside those the language names stays the object's own: the same negative number
' whichever way the object is reached.
Const kOwnCode = &h80040005
Dim failing
Set failing = Host.Failing(kOwnCode)
Err.Clear
Host.Fail kOwnCode
Check Err.Number, CLng(kOwnCode), "own code from a call"
Err.Clear
Host.Throw kOwnCode, "", 0
Check Err.Number, CLng(-2147221499), "own code from an exception"
Err.Clear
x = failing + 1
Check Err.Number, CLng(kOwnCode), "own code from a default value"
Err.Clear
x = CStr(failing)
Check Err.Number, CLng(kOwnCode), "own code from a default value converted"
Err.Clear
For Each item In failing
    Check Err.Number, CLng(kOwnCode), "own code from an enumerator, seen in the loop's body"
Next
Check Err.Number, CLng(kOwnCode), "own code from an enumerator"
Err.Clear
x = Host.Failing(&h800A0035) & ""
Check Err.Number, CLng(53), "a code of the language's own range from a default value"
Err.Clear
For Each item In Host.Failing(&h80020003)
    Exit For
Next
Check Err.Number, CLng(451), "no enumerator: not a collection"
Err.Clear
x = Host.Failing(&h80020003) + 1
Check Err.Number, CLng(438), "no default value"
' An error of the script's own code that a host called keeps its number on the way back.
Sub RaisesOwnCode(unused)
    Err.Raise kOwnCode, "script", "raised in a callback"
End Sub
Sub DividesByZero(unused)
    x = 1 / 0
End Sub
Err.Clear
Host.CallBack Me, "RaisesOwnCode", 0
Check Err.Number & " " & Err.Description, CLng(kOwnCode) & " raised in a callback", "own code through a host's call"
Err.Clear
Host.CallBack Me, "DividesByZero", 0
Check Err.Number, CLng(11), "the language's number through a host's call"
Err.Clear
Host.Throw 0, "", 0
Check Err.Number, CLng(507), "an exception without a code"
Check Err.Description, "An exception occurred", "text of an exception without a code"

MsgBox "err object: " & passed & " passed, " & failed & " failed"
