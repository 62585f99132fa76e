' Inside a function its own name is its result before ".member"; alone it calls the function
' again. Recursion goes as deep as the stack allows before "Out of stack space".
Class Box
    Public Value
End Class
Function Make(v)
    Set Make = New Box
    Make.Value = v
    y = Make.Value
    Host.Say "inside: " & y
End Function
Host.Say "result: " & Make(4).Value

Dim depth
Function Count()
    depth = depth + 1
    If depth < 5 Then y = Count
    Count = depth
End Function
depth = 0
Host.Say "y = Count calls itself: " & Count() & " " & depth

Function Factorial(n)
    If n <= 1 Then Factorial = 1 Else Factorial = n * Factorial(n - 1)
End Function
Host.Say "Factorial(10) = " & Factorial(10)
Function Deep(n)
    If n = 0 Then Deep = 0 Else Deep = Deep(n - 1) + 1
End Function
Host.Say "Deep(500) = " & Deep(500)

Function Forever(n)
    Forever = Forever(n + 1)
End Function
On Error Resume Next
x = Forever(0)
Host.Say "endless recursion: " & Err.Number & " " & Err.Description
