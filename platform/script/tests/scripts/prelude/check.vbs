' Parsed before every VBScript program of this folder: Check counts a comparison that holds as
' passed and shows one that does not, with its label; a program ends with its own summary box.
Dim passed, failed
passed = 0 : failed = 0
Sub Check(actual, expected, label)
    If TypeName(actual) = TypeName(expected) And actual = expected Then
        passed = passed + 1
    Else
        failed = failed + 1
        MsgBox "FAIL " & label & ": " & TypeName(actual) & " " & actual & " <> " & TypeName(expected) & " " & expected
    End If
End Sub
