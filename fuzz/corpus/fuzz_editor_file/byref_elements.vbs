' Array elements are passed by reference; a callee that resizes the array cannot break that.
Sub Swap(a, b)
    Dim t
    t = a : a = b : b = t
End Sub
Sub Twice(ByRef x)
    x = x * 2
End Sub
Sub Shrink(x)
    ReDim values(0)
    x = "gone"
End Sub
values = Array(5, 3, 9, 1)
For i = 0 To UBound(values) - 1
    For j = i + 1 To UBound(values)
        If values(j) < values(i) Then Swap values(i), values(j)
    Next
Next
MsgBox Join(values, " ")
Twice values(3)
Twice (values(2))
MsgBox values(3) & " " & values(2)
Dim grid(1, 1)
grid(1, 0) = 4
Twice grid(1, 0)
MsgBox grid(1, 0)
Shrink values(3)
MsgBox UBound(values) & " [" & values(0) & "]"
