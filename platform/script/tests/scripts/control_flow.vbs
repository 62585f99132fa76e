' Conditions, selections and every loop form, with Exit.
For i = 1 To 3
    If i = 1 Then
        MsgBox "one"
    ElseIf i = 2 Then
        MsgBox "two"
    Else
        MsgBox "other " & i
    End If
Next
If True Then MsgBox "single" Else MsgBox "never"
If False Then MsgBox "never" Else MsgBox "else branch": MsgBox "still else"
x = 0 : If x = 0 Then x = 1 : x = x + 10
MsgBox x
For Each v In Array(1, "b", 3.5, Null)
    Select Case v
        Case 1, 2
            MsgBox "small"
        Case "b"
            MsgBox "letter"
        Case Else
            MsgBox "else " & TypeName(v)
    End Select
Next
s = ""
For i = 10 To 1 Step -3
    s = s & i & " "
Next
MsgBox s & "after " & i
For i = 1 To 0
    MsgBox "never"
Next
MsgBox "i=" & i
For i = 0 To 1 Step 0.25
    n = n + 1
Next
MsgBox n
i = 0
Do While i < 3
    i = i + 1
Loop
MsgBox "while " & i
Do Until i = 0
    i = i - 1
Loop
MsgBox "until " & i
Do
    i = i + 1
Loop While i < 5
MsgBox "loop while " & i
Do
    i = i + 1
    If i > 7 Then Exit Do
Loop
MsgBox "exit do " & i
While i > 0
    i = i - 2
Wend
MsgBox "wend " & i
For i = 1 To 10
    For j = 1 To 10
        If j = 2 Then Exit For
    Next
    If i = 3 Then Exit For
Next
MsgBox i & " " & j
k = 0
Do
    k = k + 1
    While True
        Exit Do
    Wend
Loop
MsgBox "nested exit " & k
