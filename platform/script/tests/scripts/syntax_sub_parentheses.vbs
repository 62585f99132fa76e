Sub Show(a, b)
    MsgBox a & b
End Sub
Show(1, 2)
