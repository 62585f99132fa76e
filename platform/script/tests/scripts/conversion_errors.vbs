' Conversion functions: the value they give, or the run-time error number they raise.

' Runs one conversion and gives its result's text, or "error N".
Function Convert(name, value)
    On Error Resume Next
    Dim r
    Select Case name
        Case "CByte" r = CByte(value)
        Case "CInt" r = CInt(value)
        Case "CLng" r = CLng(value)
        Case "CCur" r = CCur(value)
        Case "CSng" r = CSng(value)
        Case "CDbl" r = CDbl(value)
        Case "CBool" r = CBool(value)
    End Select
    If Err.Number <> 0 Then
        Convert = "error " & Err.Number
    Else
        Convert = TypeName(r) & " " & r
    End If
End Function

Dim cases
cases = Array( _
    Array("CByte", True, "Byte 255"), _
    Array("CByte", False, "Byte 0"), _
    Array("CByte", 255.4, "Byte 255"), _
    Array("CByte", 256, "error 6"), _
    Array("CByte", -1, "error 6"), _
    Array("CByte", "abc", "error 13"), _
    Array("CByte", Null, "error 94"), _
    Array("CByte", Empty, "Byte 0"), _
    Array("CInt", 32767.4, "Integer 32767"), _
    Array("CInt", 32768, "error 6"), _
    Array("CInt", -32769, "error 6"), _
    Array("CInt", "1e10", "error 6"), _
    Array("CInt", "x", "error 13"), _
    Array("CInt", True, "Integer -1"), _
    Array("CLng", 2147483647, "Long 2147483647"), _
    Array("CLng", 2147483648, "error 6"), _
    Array("CLng", "", "error 13"), _
    Array("CLng", Array(1), "error 13"), _
    Array("CCur", "1.5", "Currency 1.5"), _
    Array("CCur", 1E+20, "error 6"), _
    Array("CCur", "nope", "error 13"), _
    Array("CSng", 1E+39, "error 6"), _
    Array("CSng", "2.5", "Single 2.5"), _
    Array("CSng", "z", "error 13"), _
    Array("CDbl", "1e400", "error 6"), _
    Array("CDbl", "q", "error 13"), _
    Array("CDbl", True, "Double -1"), _
    Array("CBool", "yes", "error 13"), _
    Array("CBool", "True", "Boolean True"))
For i = 0 To UBound(cases)
    Check Convert(cases(i)(0), cases(i)(1)), cases(i)(2), cases(i)(0) & " case " & i
Next

Class Thing
End Class
Check IsNumeric(New Thing), False, "IsNumeric of an object"
Check IsNumeric(Nothing), False, "IsNumeric of Nothing"
Check IsNumeric(Array(1)), False, "IsNumeric of an array"
Check IsNumeric("&h10"), True, "IsNumeric of hex text"

MsgBox "conversion errors: " & passed & " passed, " & failed & " failed"
