' On Error Resume Next when the head of a statement fails: execution goes on into its body.
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

On Error Resume Next
zero = 0
trail = ""
If 1 / zero Then trail = trail & "if;" Else trail = trail & "else;"
If False Then
    trail = trail & "no;"
ElseIf 1 / zero Then
    trail = trail & "elseif;"
End If
Check trail, "if;elseif;", "If and ElseIf enter the branch"
Check Err.Number, CLng(11), "the error is kept"
Err.Clear

trail = ""
Select Case 1 / zero
    Case 5 : trail = trail & "first;"
    Case 6 : trail = trail & "second;"
End Select
Check trail, "first;", "Select Case with a failing subject runs the first case"
trail = ""
Select Case 2
    Case 1 / zero : trail = trail & "failed case;"
    Case 2 : trail = trail & "two;"
End Select
Check trail, "failed case;", "a failing Case value is taken"
Err.Clear

count = 0
Do While 1 / zero
    count = count + 1
    If count = 3 Then Exit Do
Loop
Check count, 3, "Do While enters the body"
count = 0
Do Until CLng("x")
    count = count + 1
    Exit Do
Loop
Check count, 1, "Do Until enters the body"
count = 0
Do
    count = count + 1
    If count = 2 Then Exit Do
Loop While 1 / zero
Check count, 2, "Loop While goes round again"
count = 0
While 1 / zero
    count = count + 1
    If count >= 2 Then zero = Null
Wend
Check count, 2, "While enters the body"
zero = 0

count = 0
For Each item In 5
    count = count + 1
Next
Check count, 1, "For Each over a non-collection runs the body once"
count = 0
For Each item In Nothing
    count = count + 1
Next
Check count, 1, "For Each over Nothing runs the body once"
count = 0
For Each item In Array(1, 2, 3)
    count = count + item
Next
Check count, 6, "For Each over an array is unchanged"

trail = ""
With Nothing
    trail = trail & "with;"
End With
Check trail, "with;", "With on Nothing runs the body"
Err.Clear
With CLng("bad")
    trail = trail & "second with;"
    Check Err.Number, CLng(13), "the With error is kept"
End With
Check trail, "with;second with;", "With on a failing expression runs the body"

MsgBox "resume in heads: " & passed & " passed, " & failed & " failed"
