' Precedence, the types results take, and Null.
MsgBox 2 + 3 * 4
MsgBox -2 ^ 2
MsgBox 2 ^ 3 ^ 2
MsgBox 2 ^ -1
MsgBox 7 \ 2 & " " & -7 \ 2 & " " & 7 Mod 3 & " " & -7 Mod 3
MsgBox 10 / 4
MsgBox 5.5 \ 2
MsgBox "3" + 4
MsgBox "3" & 4
MsgBox "a" + "b"
MsgBox 1 + 2 & 3
MsgBox TypeName(32767 + 1) & " " & TypeName(2147483647 + 1) & " " & TypeName(1.5 + 1)
MsgBox TypeName(True + True) & " " & (True + True)
MsgBox TypeName(CByte(200) + CByte(100))
MsgBox 1 < 2 And 3 > 2
MsgBox (Not True) & " " & (Not 0)
MsgBox (5 And 3) & " " & (5 Or 3) & " " & (5 Xor 3) & " " & (True Eqv False) & " " & (False Imp True)
MsgBox "abc" < "abd"
MsgBox "B" < "a"
MsgBox 10 < "9"
MsgBox IsNull(Null + 1) & " " & IsNull(Null = Null) & " " & (Null & "x")
MsgBox (Null And False) & " " & IsNull(Null And True) & " " & (Null Or True)
MsgBox Empty + 1 & " " & (Empty = 0) & " " & (Empty = "")
MsgBox &HFF & " " & &H10& & " " & &O17 & " " & &HFFFF
MsgBox 1E+20 & " " & 1/3 & " " & 0.0001 & " " & 0.00001 & " " & 0.000001 & " " & 123456789012345678
MsgBox 1.5E-3 * 2
