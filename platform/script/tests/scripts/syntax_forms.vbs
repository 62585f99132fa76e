' Statement and expression forms that scripts write: each case compares what the engine gives
' with what the language gives, and the run ends with a count of the cases that held.

' Procedures declared inside a block are declared all the same.
If True Then
    Function InsideIf(n)
        InsideIf = n * 2
    End Function
End If
If False Then
    Sub InsideFalseIf()
    End Sub
End If
Check InsideIf(21), 42, "function declared inside If"

' One-line forms.
Sub OneLine() lineResult = True End Sub
Function OneLineF(a) OneLineF = a + 1 End Function
lineResult = False
OneLine
Check lineResult, True, "one-line Sub"
Check OneLineF(1), 2, "one-line Function"
v = 0
If v = 0 Then v = 1 End If
Check v, 1, "one-line If with End If"
Select Case v
    Case 0 w = "zero"
    Case 1 w = "one"
    Case Else w = "other"
End Select
Check w, "one", "Case followed by its statement"

' "&h" followed by a name is concatenation; a hex literal needs a hex digit.
hi = "there"
Check "x" &hi, "xthere", "ampersand before a name starting with h"
Check &h1F, 31, "hex literal"

' A parenthesized object starts a member chain.
Class Box
    Public Prop
    Private Sub Class_Initialize() : Prop = 7 : End Sub
    Public Function Twice(n) : Twice = n * 2 : End Function
    Public Sub Mark() : marked = marked + 1 : End Sub
    Public [Rem]
End Class
Check (New Box).Prop, 7, "(New C).Prop"
Check (New Box).Twice(4), 8, "(New C).M(x)"
marked = 0
Call (New Box).Mark()
(New Box).Mark
Check marked, 2, "Call (New C).M() and (New C).M"
Function Letters() : Letters = Array("a", "b", "c") : End Function
Check (Letters)(1), "b", "(f)(x)"
Set b = New Box
b.Rem = 5
Check b.Rem, 5, "keyword as member name"

' "><" is not-equal; Stop is accepted.
Check 1 >< 2, True, "><"
Check 2 >< 2, False, "><"
Stop

' A Sub call whose first argument is a comparison.
y = 1
Check y = 1, True, "comparison as first argument"

' Precedence: a sign binds tighter than ^, and ^ groups to the left.
Check -3 ^ 2, CDbl(9), "-3^2"
Check 2 ^ 3 ^ 2, CDbl(64), "2^3^2"
Check -2 ^ 3, CDbl(-8), "-2^3"
Check 2 ^ -1, 0.5, "2^-1"
Check 1 - 2 ^ 2, CDbl(-3), "binary minus stays below ^"
Check Not 0 = 1, True, "Not below comparison"

' Literal types.
Check &h10&, CLng(16), "&h10& is a Long"
Check &hffff, CInt(-1), "&hffff is an Integer"
Check &hffff&, CLng(65535), "&hffff& is a Long"
Check &h8000, CInt(-32768), "&h8000 is an Integer"
Check &h10000, CLng(65536), "&h10000 is a Long"
Check 32767, CInt(32767), "small literal is an Integer"
Check 32768, CLng(32768), "larger literal is a Long"
Check 2147483648, CDbl(2147483648), "literal beyond a Long is a Double"
Check CSng(1.1) = 1.1, False, "a Single compares as a Single"
Check CSng(1.5) = 1.5, True, "an exact Single"
Check CSng(1.1) = CSng(1.1), True, "two Singles"
Check TypeName(CSng(1.1) + 1), "Single", "Single arithmetic stays Single"

' Me outside a class stands for the script's global names.
Dim shared : shared = 5
Function Twice(n)
    Twice = 2 * n
End Function
Check Me.shared, 5, "Me.variable at the top level"
Me.shared = 6
Check shared, 6, "assigning through Me at the top level"
Check Me.Twice(4), 8, "Me.function at the top level"
Check IsObject(Me), True, "Me is an object at the top level"
Check Me Is Me, True, "Me is one object"
Function MeInsideFunction()
    MeInsideFunction = Me.Twice(shared)
End Function
Check MeInsideFunction(), 12, "Me inside a global function"
On Error Resume Next
x = Me.NoSuchName
Check Err.Number, CLng(438), "Me.unknown at the top level"
On Error GoTo 0

MsgBox "syntax forms: " & passed & " passed, " & failed & " failed"
