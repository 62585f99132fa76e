MsgBox "never shown"
If x = 1
    MsgBox "x"
End If
