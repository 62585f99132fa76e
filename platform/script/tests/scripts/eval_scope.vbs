Option Explicit
' Eval and Execute run in the scope they are called from; ExecuteGlobal in the global one.
Dim x, made
x = "global"

Sub Locals
    Dim a
    a = 5
    Check Eval("a + 1"), 6, "Eval reads a local"
    Execute "a = 10"
    Check a, 10, "Execute assigns a local"
    Execute "Dim b : b = 3"
    Check Eval("b * 2"), 6, "a local Execute declared is known to later text"
    Execute "Execute ""b = b + 1 : c = 7"""
    Check Eval("b & c"), "47", "nested Execute shares the procedure's locals"
    Execute "Dim d(2) : d(2) = ""last"""
    Check Eval("d(UBound(d))"), "last", "an array Execute declared"
End Sub
Locals
Check Eval("IsEmpty(b)"), True, "locals Execute made end with their procedure"

Sub UsesWhatExecuteMade
    Execute "Dim fresh : fresh = 7"
    fresh = fresh + 1
    Check fresh, 8, "the procedure's own code reads and assigns a local its Execute made"
End Sub
UsesWhatExecuteMade

Sub Shadow
    Dim x
    x = "local"
    Check Eval("x"), "local", "a local hides the global of its name"
    ExecuteGlobal "x = x & ""!"""
    Check x, "local", "ExecuteGlobal leaves the local alone"
    Execute "Sub ShowX : made = x : End Sub"
    ShowX
    Check made, "global!", "a procedure Execute declares sees the global scope"
End Sub
Shadow
Check x, "global!", "ExecuteGlobal assigned the global"

Function Twice(n)
    Execute "Twice = n * 2"
End Function
Check Twice(21), 42, "Execute sets the function's result"

Sub Bump(ByRef v)
    Execute "v = v + 1"
End Sub
Dim counter
counter = 1
Bump counter
Check counter, 2, "Execute assigns through a ByRef parameter"

Function Depth(n)
    Dim mine
    mine = n
    If n > 0 Then Depth = Depth(n - 1)
    Depth = Depth & Eval("mine")
End Function
Check Depth(3), "0123", "each call of a recursive procedure has its own locals"

Class Account
    Private balance
    Function Deposit(amount)
        Dim fee
        fee = 1
        Execute "balance = balance + amount - fee"
        Deposit = Eval("balance")
    End Function
End Class
Dim acct
Set acct = New Account
acct.Deposit 10
Check acct.Deposit(5), 13, "a class's procedure: its fields, parameters and locals"

ExecuteGlobal "Dim late : late = 4"
late = late + 1
Check late, 5, "a global ExecuteGlobal declared, in code bound before it"

Execute "Dim topLevel : topLevel = 1"
Check Eval("topLevel"), 1, "outside any procedure the text is global"

On Error Resume Next
Sub Undeclared
    Execute "Option Explicit" & vbCrLf & "nowhere = 1"
End Sub
Undeclared
Check Err.Number, CLng(500), "text with Option Explicit knows only the procedure's names"
Err.Clear

MsgBox "eval scope: " & passed & " passed, " & failed & " failed"
