' Procedures that text run by ExecuteGlobal or Execute declares are known to the code around it,
' though that code was compiled before they existed.
Dim said
ExecuteGlobal "Sub Greet(name) : said = said & ""hello "" & name & "";"" : End Sub" & vbCrLf _
    & "Sub Ping : said = said & ""ping;"" : End Sub" & vbCrLf _
    & "Function Twice(n) : Twice = 2 * n : End Function" & vbCrLf _
    & "Function Answer : Answer = 42 : End Function"
Greet "top"
Call Greet("call")
Ping
Check said, "hello top;hello call;ping;", "a Sub declared before, called as a statement"
Check Twice(21), 42, "a Function declared before, in an expression"
Check Answer, 42, "a Function without arguments declared before"

Sub Later
    Greet "inside"
    said = said & Twice(2)
End Sub
said = ""
Later
Check said, "hello inside;4", "from a procedure compiled before"

Sub Declares
    Execute "Function Thrice(n) : Thrice = 3 * n : End Function"
End Sub
Declares
Check Thrice(3), 9, "a Function that Execute declared inside a procedure is global"

MsgBox "execute declares: " & passed & " passed, " & failed & " failed"
