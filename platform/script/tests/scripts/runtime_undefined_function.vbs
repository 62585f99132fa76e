' A call of a name that is neither a procedure nor an array, and a call with the wrong number of
' arguments, name what was called.
Sub Pair(a, b)
End Sub
On Error Resume Next
Pair 1
MsgBox Err.Number & " " & Err.Description
On Error GoTo 0
total = 2
total = Missing(total) + 1
