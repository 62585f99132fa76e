' MsgBox returns the button pressed; InputBox without an answer returns "".
answer = MsgBox("Continue?", vbYesNo + vbQuestion, "Title")
MsgBox "answer " & answer
MsgBox "input [" & InputBox("Name?", "Ask", "default") & "]"
