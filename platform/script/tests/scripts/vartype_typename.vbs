' VarType and TypeName of hexadecimal and octal literals and of arrays: every array a script
' makes is an array of Variants, however it was made or passed.
Sub Show(label, v)
    Host.Say label & ": " & VarType(v) & " " & TypeName(v)
End Sub
Show "&h10&", &h10&
Show "&hFFFF", &hFFFF
Show "&h8000", &h8000
Show "&hFFFF&", &hFFFF&
Show "&h10000", &h10000
Show "&o177777", &o177777
Show "32768", 32768
Show "2147483648", 2147483648
Host.Say "values: " & &hFFFF & " " & &h8000 & " " & &hFFFF& & " " & &o177777
Dim a(3)
Show "Dim a(3)", a
Dim b()
ReDim b(2)
Show "ReDim b(2)", b
ReDim c(1)
Show "ReDim c(1)", c
Dim objs(1)
Set objs(0) = New RegExp
Show "objects", objs
Dim grid(1, 1)
Show "Dim grid(1, 1)", grid
Show "Array()", Array()
Show "Split", Split("a b")
Sub ByReference(x)
    Show "by reference", x
End Sub
Sub ByValue(ByVal x)
    Show "by value", x
End Sub
ByReference a
ByValue a
