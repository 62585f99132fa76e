' On Error Resume Next, the Err object and Err.Raise.
On Error Resume Next
x = 1 / 0
MsgBox Err.Number & " " & Err.Description & " | " & Err.Source
Err.Clear
MsgBox Err.Number & " [" & Err.Description & "]"
y = CInt("abc")
MsgBox Err.Number & " " & Err.Description
Err.Raise 1000, "my source", "my description"
MsgBox Err.Number & " " & Err.Source & " " & Err.Description
Err.Raise vbObjectError + 7
MsgBox Err.Number & " " & Err.Description
Err.Raise 11
MsgBox Err.Number & " " & Err.Description
Sub Fails()
    MsgBox "in fails"
    z = Array(1)(5)
    MsgBox "not reached"
End Sub
Err.Clear
Fails
MsgBox "after fails " & Err.Number
Sub Guarded()
    On Error Resume Next
    q = 1 / 0
    MsgBox "guarded " & Err.Number
End Sub
Err.Clear
Guarded
MsgBox "caller sees " & Err.Number
Set o = Nothing
o.Run
MsgBox "nothing " & Err.Number & " " & Err.Description
Err.Clear
If 1 / 0 = 1 Then
    MsgBox "then"
Else
    MsgBox "else"
End If
MsgBox "after End If of a failed condition " & Err.Number
On Error GoTo 0
MsgBox "cleared " & Err.Number
Err.Raise 9
MsgBox "not shown"
