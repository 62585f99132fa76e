' Text compiled while the script runs.
x = 6
MsgBox Eval("x * 7") & " " & Eval("Len(""abc"") = 3")
ExecuteGlobal "Function Square(n)" & vbCrLf & "Square = n * n" & vbCrLf & "End Function"
Execute "y = Square(x)"
MsgBox y
On Error Resume Next
z = Eval("1 +")
MsgBox Err.Number & " " & Err.Description
