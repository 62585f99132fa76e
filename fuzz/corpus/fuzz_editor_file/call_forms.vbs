' Call forms: parentheses around the called name and its arguments, a blank before an element's
' index in an assignment, and unary + that leaves its operand as it is.
Function Tenfold(x)
    Tenfold = x * 10
    Host.Say "Tenfold " & x
End Function
Sub Show(x)
    Host.Say "Show " & x
End Sub
Call (((Tenfold))) ((2))
y = (Tenfold)(3)
Host.Say "y = " & y
Host.Say "nested: " & ((Tenfold))(4)
Call Show((5))
Call (Show)(6)
Dim arr(2), grid(1, 1)
arr (0) = 2 Xor -2
arr (1) = 5
grid (1, 0) = "g"
Host.Say "blank before index: " & arr(0) & " " & arr(1) & " " & grid(1, 0)
Host.Say (1) + (2)
Set obj = New RegExp
Host.Say "+obj Is obj: " & (+obj Is obj)
Host.Say "+text: " & TypeName(+"7") & " " & TypeName(+Empty)
