Option Explicit
Dim known
known = 1
MsgBox "before"
  unknown = known + 1
MsgBox "after"
