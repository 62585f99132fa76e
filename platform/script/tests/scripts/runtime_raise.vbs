MsgBox "start"
Err.Raise 1234, "custom", "Something went wrong"
