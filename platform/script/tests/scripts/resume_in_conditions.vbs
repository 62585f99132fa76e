' On Error Resume Next when the head of a block or loop fails (a condition, a Select subject or
' Case value, a loop's bounds or group): execution resumes with the statement after the failing
' one, the first of the branch or body, and the error stays in Err. A condition at the end of a
' loop resumes after the loop; a loop whose bounds or group failed runs its body once.
On Error Resume Next
zero = 0
Function Fails()
    Fails = 1 / zero
End Function
trail = ""
Do
    trail = trail & "a"
Loop While 1 / zero
Host.Say "Loop While: " & trail & " " & Err.Number
Err.Clear
trail = ""
Do
    trail = trail & "b"
Loop Until 1 / zero
Host.Say "Loop Until: " & trail & " " & Err.Number
Err.Clear
' A condition at the top fails on each test that raises: the loop goes round until it succeeds.
trail = ""
d = 0
Do While 10 / d > 1
    trail = trail & "c"
    d = d + 5
Loop
Host.Say "Do While: " & trail & " " & Err.Number
Err.Clear
trail = ""
text = "x"
Do Until CLng(text) = 2
    trail = trail & "d"
    If text = "x" Then text = 1 Else text = text + 1
Loop
Host.Say "Do Until: " & trail & " " & Err.Number
Err.Clear
trail = ""
text = "x"
While CLng(text) < 2
    trail = trail & "e"
    If text = "x" Then text = 1 Else text = text + 1
Wend
Host.Say "While: " & trail & " " & Err.Number
Err.Clear
trail = ""
Do While Fails()
    trail = trail & "h"
    Exit Do
Loop
Host.Say "Do While left by Exit Do: " & trail & " " & Err.Number
Err.Clear
trail = ""
If 1 / zero Then
    trail = "then"
Else
    trail = "else"
End If
Host.Say "If: " & trail & " " & Err.Number
Err.Clear
x = False
If Fails() Then x = True
Host.Say "If Fails() Then x = True: " & x & " " & Err.Number
Err.Clear
trail = ""
If False Then
    trail = "then"
ElseIf 1 / zero Then
    trail = "elseif"
Else
    trail = "else"
End If
Host.Say "ElseIf: " & trail & " " & Err.Number
Err.Clear
trail = "before"
If 1 / zero Then trail = "then" Else trail = "else"
Host.Say "single-line If: " & trail & " " & Err.Number
Err.Clear
trail = ""
If Not Fails() Then trail = trail & "first" : trail = trail & " second"
trail = trail & " after"
Host.Say "single-line If with two statements: " & trail & " " & Err.Number
Err.Clear
trail = ""
Select Case 1 / zero
    Case 1: trail = "one"
    Case Else: trail = "else"
End Select
Host.Say "Select Case: " & trail & " " & Err.Number
Err.Clear
trail = ""
Select Case 2
    Case 1 / zero: trail = "failed case"
    Case 2: trail = "two"
End Select
Host.Say "failing Case value: " & trail & " " & Err.Number
Err.Clear
trail = ""
Select Case 3
    Case 1: trail = "one"
    Case 2, Fails(), 3: trail = "second case"
    Case 3: trail = "three"
End Select
Host.Say "failing value in a Case list: " & trail & " " & Err.Number
Err.Clear
trail = ""
For i = 1 To 1 / zero
    trail = trail & "i"
Next
Host.Say "For with a failing limit: " & trail & " " & Err.Number
Err.Clear
trail = ""
For i = Fails() To 3
    trail = trail & "j"
    Exit For
    trail = trail & "not reached"
Next
Host.Say "For with a failing start, left by Exit For: " & trail & " " & Err.Number
Err.Clear
trail = ""
For i = 1 To 3 Step CLng("x")
    trail = trail & "k"
Next
Host.Say "For with a failing step: " & trail & " " & Err.Number
Err.Clear
trail = ""
For Each item In 5
    trail = trail & "f"
Next
Host.Say "For Each over a number: " & trail & " " & Err.Number
Err.Clear
trail = ""
For Each item In Nothing
    trail = trail & "g"
Next
Host.Say "For Each over Nothing: " & trail & " " & Err.Number
Err.Clear
count = 0
For Each item In Array(1, 2, 3)
    count = count + item
Next
Host.Say "For Each over an array: " & count & " " & Err.Number
Function Guarded()
    On Error Resume Next
    Guarded = "skipped"
    If Fails() Then Guarded = "entered"
End Function
On Error GoTo 0
Host.Say "in a procedure of its own: " & Guarded()
On Error Resume Next
trail = ""
With Nothing
    trail = "with body"
End With
Host.Say "With Nothing runs its body: " & trail & " " & Err.Number
Err.Clear
With CLng("bad")
    Host.Say "With a failing expression runs its body: " & Err.Number
End With
Err.Clear
x = .Value
Host.Say ".member outside With: " & Err.Number & " " & Err.Description
Err.Clear
.Value = 3
Host.Say ".member assigned outside With: " & Err.Number
Sub Outside
    .Go
End Sub
Err.Clear
Outside
Host.Say ".member called outside With: " & Err.Number
On Error GoTo 0
.Value = 4
Host.Say "not reached"
