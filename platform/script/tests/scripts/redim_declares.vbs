Option Explicit
' ReDim declares the arrays it names.
ReDim grown(2)
grown(2) = "last"
Sub Local()
    ReDim inner(1)
    inner(1) = "inner"
    MsgBox inner(1) & " " & UBound(inner)
    ReDim grown(4)
End Sub
Local
MsgBox UBound(grown) & " [" & grown(2) & "]"
