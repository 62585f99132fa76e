MsgBox "top"
Exit For
