' Conversions and type information.
MsgBox CInt(2.5) & " " & CInt(3.5) & " " & CInt(-2.5) & " " & CLng("  42 ") & " " & CInt("&H10")
MsgBox CDbl("1.5e3") & " " & CSng(1.1) & " " & CStr(True) & " " & CBool("false") & " " & CBool(5)
MsgBox CByte(255) & " " & TypeName(CByte(1)) & " " & TypeName(CCur(1.23456)) & " " & CCur(1.23456)
MsgBox Hex(255) & " " & Hex(-1) & " " & Hex(CLng(-1)) & " " & Oct(8) & " " & Hex(65536)
MsgBox Fix(-2.7) & " " & Int(-2.7) & " " & Int(2.7) & " " & TypeName(Int(2.5)) & " " & TypeName(Fix(3))
MsgBox IsNumeric("12.5") & IsNumeric("abc") & IsNumeric(Empty) & IsNumeric(Null) & IsNumeric(" 7 ")
MsgBox IsDate("2024-02-29") & IsDate("2023-02-29") & IsDate("hello") & IsDate(#1/1/2000#)
MsgBox IsEmpty(nothingHere) & IsNull(Null) & IsObject(Nothing) & IsArray(Array())
MsgBox TypeName(1) & " " & TypeName(100000) & " " & TypeName(1.5) & " " & TypeName("s") & " " & TypeName(True) & " " & TypeName(Empty) & " " & TypeName(Null) & " " & TypeName(Nothing) & " " & TypeName(#1/1/2000#)
MsgBox VarType(1) & " " & VarType("s") & " " & VarType(Null) & " " & VarType(Empty) & " " & VarType(1.5) & " " & VarType(True)
MsgBox CDate("3/15/2024 14:30") & " | " & CDate(45000) & " | " & CDate("10:05:09 PM")
MsgBox CStr(1.5) & " " & CStr(-0.25) & " " & CStr(1E+15)
On Error Resume Next
x = CInt(40000)
MsgBox Err.Number & " " & Err.Description
Err.Clear
x = CLng("12abc")
MsgBox Err.Number & " " & Err.Description
Err.Clear
x = CInt(Null)
MsgBox Err.Number & " " & Err.Description
Err.Clear
x = CByte(-1)
MsgBox Err.Number
' Digit groups in number text: "1,000" reads as 1000, a "," elsewhere is not a number.
MsgBox CDbl("1,000") + 1 & " " & CLng("-12,345.5") & " " & IsNumeric("1,000.25") & IsNumeric(",5") & IsNumeric("1.2,5")
