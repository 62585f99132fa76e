' Words the language keeps for its statements but lets scripts use as names: Property, Default,
' Step, Error, Explicit, Get, Let as variables, in Dim, in assignments, as For counters and
' parameters, beside the declarations they start.
Dim Property, Default, Step, Error
Property = 1
Default = 2
Step = 3
Error = 4
Host.Say "assigned: " & Property & Default & Step & Error
For Property = 1 To 3 Step 1
    Step = Step + Property
Next
Host.Say "For counter: " & Property & " " & Step
For Each Default In Array(5, 6)
    Error = Error + Default
Next
Host.Say "For Each counter: " & Default & " " & Error
Dim Explicit, Get, Let
Explicit = "e" : Get = "g" : Let = "l"
Host.Say "more: " & Explicit & Get & Let
Sub Show(Property)
    Host.Say "parameter: " & Property
End Sub
Show 7
Function Twice(Step)
    Twice = Step * 2
End Function
Host.Say "argument: " & Twice(Default)
ReDim Property(2)
Property(1) = "x"
Host.Say "ReDim: " & UBound(Property) & Property(1)
On Error Resume Next
Error = 1 / 0
Host.Say "Error as a name beside On Error: " & Err.Number & " " & Error
On Error GoTo 0

Class Holder
    Private m_value
    Public Default Property Get Value
        Value = m_value
    End Property
    Public Property Let Value(Property)
        m_value = Property
    End Property
End Class
Set h = New Holder
h.Value = "declared"
Host.Say "declarations still: " & h
