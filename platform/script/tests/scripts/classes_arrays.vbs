' Classes and arrays: a script's class named like a built-in one, properties computed by
' recursion, and resizing an array declared with a fixed size.

Class RegExp
    Public Pattern
    Public Function Test(s) : Test = "own class" : End Function
End Class
Set re = New RegExp
Check re.Test("x"), "own class", "a script's class named RegExp is the one made"
Check TypeName(re), "RegExp", "its type name"

Function Factorial(n)
    If n <= 1 Then Factorial = 1 Else Factorial = n * Factorial(n - 1)
End Function
Class Numbers
    Public Property Get Fact(n)
        Fact = Factorial(n)
    End Property
    Public Property Get Fib(n)
        If n < 2 Then Fib = n Else Fib = Fib(n - 1) + Fib(n - 2)
    End Property
End Class
Set nums = New Numbers
Check nums.Fact(5), 120, "Property Get returning a recursive function's value"
Check nums.Fib(10), 55, "Property Get calling itself"

Function ReDimOutcome(which)
    On Error Resume Next
    Dim fixed(3), dynamic()
    If which = 1 Then ReDim fixed(5) Else ReDim dynamic(5)
    ReDimOutcome = Err.Number
End Function
Check ReDimOutcome(1), CLng(10), "ReDim of a fixed array"
Check ReDimOutcome(2), CLng(0), "ReDim of a dynamic array"
Dim globalFixed(2)
On Error Resume Next
ReDim Preserve globalFixed(4)
Check Err.Number, CLng(10), "ReDim Preserve of a fixed array"
Check UBound(globalFixed), CLng(2), "the fixed array keeps its size"
On Error GoTo 0

MsgBox "classes and arrays: " & passed & " passed, " & failed & " failed"
