' Subs, functions, arguments by reference and by value, recursion.
Function Factorial(n)
    If n <= 1 Then
        Factorial = 1
        Exit Function
    End If
    Factorial = n * Factorial(n - 1)
End Function

Sub Twice(ByRef value)
    value = value * 2
End Sub

Sub Copy(ByVal value)
    value = value * 2
End Sub

Sub Implicit(value)
    value = value + 1
End Sub

Function Fib(n)
    If n < 2 Then Fib = n Else Fib = Fib(n - 1) + Fib(n - 2)
End Function

Function NoResult()
End Function

Sub Report(a, b)
    MsgBox a & "/" & b
End Sub

MsgBox Factorial(10)
x = 5
Twice x
MsgBox x
Copy x
MsgBox x
Implicit x
MsgBox x
Twice (x)
MsgBox x
Call Twice(x)
MsgBox x
MsgBox Fib(15)
MsgBox IsEmpty(NoResult()) & " " & TypeName(NoResult)
Report 1, "two"
Call Report("three", 4)
Function Outer()
    Dim local
    local = "inner"
    Outer = local & " " & Helper()
End Function
Function Helper()
    Helper = "helper"
End Function
MsgBox Outer()
Sub Early()
    MsgBox "before"
    Exit Sub
    MsgBox "after"
End Sub
Early
Function Deep(n)
    Deep = Deep(n + 1)
End Function
On Error Resume Next
Deep 1
MsgBox Err.Number & " " & Err.Description
Err.Clear
Function Combine(a, b)
    Combine = a & "+" & b
End Function
Set handler = GetRef("Combine")
MsgBox handler("x", 1) & " " & TypeName(handler)
Set missing = GetRef("NoSuchProcedure")
MsgBox Err.Number
