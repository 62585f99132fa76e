Sub Inner()
    Dim s
    s = "text"
    MsgBox "inner"
        s = s * 2
End Sub
Inner
MsgBox "never"
