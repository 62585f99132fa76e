' On Error Resume Next when the condition of a loop or block fails: execution goes on with the
' statement after the loop or block, and the error stays in Err. A failing condition never loops.
On Error Resume Next
zero = 0
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
trail = ""
Do While 1 / zero
    trail = trail & "c"
Loop
Host.Say "Do While: " & trail & " " & Err.Number
Err.Clear
trail = ""
Do Until CLng("x")
    trail = trail & "d"
Loop
Host.Say "Do Until: " & trail & " " & Err.Number
Err.Clear
trail = ""
While CLng("x")
    trail = trail & "e"
Wend
Host.Say "While: " & trail & " " & Err.Number
Err.Clear
trail = ""
If 1 / zero Then
    trail = "then"
Else
    trail = "else"
End If
Host.Say "If: " & trail & " " & Err.Number
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
For Each item In 5
    trail = trail & "f"
Next
Host.Say "For Each over a number: " & trail & " " & Err.Number
Err.Clear
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
