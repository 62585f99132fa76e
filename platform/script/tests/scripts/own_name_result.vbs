' Inside a function its own name without arguments is its result so far, read or written; with
' arguments, with empty parentheses, as a statement of its own or after Call it calls the function
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

Function SumOf(n)
    For i = 1 To n
        SumOf = SumOf + i
    Next
End Function
Host.Say "SumOf(4) = " & SumOf(4)
Function Twice(s)
    Twice = s
    Twice = Twice & Twice
End Function
Host.Say "Twice(""ab"") = " & Twice("ab")
Function Unset()
    Unset = TypeName(Unset)
End Function
Host.Say "read before it is set: " & Unset()
Function Longest(words)
    Longest = ""
    For Each w In words
        If Len(w) > Len(Longest) Then Longest = w
    Next
End Function
Host.Say "in a condition: " & Longest(Array("a", "abc", "ab"))
Sub AddOne(ByRef value)
    value = value + 1
End Sub
Function Bumped()
    Bumped = 41
    AddOne Bumped
End Function
Host.Say "passed by reference: " & Bumped()
Class Counter
    Private m_count
    Public Property Get Count()
        Count = m_count
        If IsEmpty(Count) Then Count = 0
    End Property
    Public Sub Add()
        m_count = Count + 1
    End Sub
End Class
Set counter = New Counter
counter.Add
counter.Add
Host.Say "Property Get: " & counter.Count

Dim depth
Function Again()
    depth = depth + 1
    If depth < 3 Then Again
    If depth < 5 Then Call Again
    If depth < 7 Then y = Again()
    Again = depth
End Function
depth = 0
Host.Say "a statement, Call and empty parentheses call it: " & Again() & " " & depth
Function Down(n)
    If n > 0 Then Call Down(n - 1)
    Down = n
    depth = depth + 1
End Function
depth = 0
Host.Say "Call Down(n - 1) recurses: " & Down(4) & " " & depth

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
