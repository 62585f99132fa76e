' The string functions.
s = "Hello, World"
MsgBox Len(s) & " " & Left(s, 5) & "|" & Right(s, 5) & "|" & Mid(s, 8) & "|" & Mid(s, 8, 3) & "|" & Mid(s, 50) & "|"
MsgBox InStr(s, "o") & " " & InStr(6, s, "o") & " " & InStr(s, "z") & " " & InStr(1, s, "WORLD", vbTextCompare) & " " & InStr(s, "")
MsgBox InStrRev(s, "o") & " " & InStrRev(s, "o", 6) & " " & InStrRev(s, "x")
MsgBox Replace(s, "o", "0") & "|" & Replace(s, "L", "_", 1, -1, vbTextCompare) & "|" & Replace(s, "o", "0", 6) & "|" & Replace(s, "l", "L", 1, 2)
MsgBox UCase(s) & " " & LCase(s)
MsgBox "[" & Trim("  a b  ") & "][" & LTrim("  a ") & "][" & RTrim(" a  ") & "]"
MsgBox "[" & Space(3) & "][" & String(4, "*") & "][" & String(2, 65) & "]"
MsgBox StrReverse("abc") & " " & StrComp("a", "B") & " " & StrComp("a", "A", vbTextCompare) & " " & StrComp("b", "a")
MsgBox Asc("A") & " " & AscW("€") & " " & Chr(66) & ChrW(8364)
MsgBox Join(Split("a b  c"), "|") & " " & UBound(Split("")) & " " & Join(Split("1-2-3-4", "-", 2), "+")
MsgBox Join(Split("aXbxc", "x", -1, vbTextCompare), ",")
MsgBox Len(Null) & "|" & IsNull(Left(Null, 1)) & "|" & IsNull(UCase(Null))
MsgBox "quote "" inside" & vbTab & "tab" & Len(vbCrLf) & Len(vbNullString)
MsgBox Len(CStr(12.5)) & " " & Len(123)
MsgBox "a" & _
       "b"
On Error Resume Next
x = Left("abc", -1)
MsgBox Err.Number
Err.Clear
x = Mid("abc", 0)
MsgBox Err.Number
Err.Clear
x = Asc("")
MsgBox Err.Number
' Case is changed and ignored for every letter, not only the unaccented ones.
MsgBox LCase("ÀÉÎ Straße") & "|" & UCase("àéî") & "|" & StrComp("ÉTÉ", "été", vbTextCompare) & "|" & InStr(1, "CAFÉ", "é", vbTextCompare)
' Asc and Chr use the Western code page; AscW gives a signed 16-bit code; Replace of Null fails.
MsgBox AscW(Chr(128)) & " " & Asc(ChrW(8364)) & " " & Asc(ChrW(&H4E00)) & " " & Asc(Chr(200)) & " " & AscW(ChrW(-1)) & " " & AscW(ChrW(&H8000)) & " " & AscW("A")
On Error Resume Next
x = Replace(Null, "a", "b")
MsgBox Err.Number
