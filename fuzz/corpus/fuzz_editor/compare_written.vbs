' A value met by a number or text written in the program takes the written one's kind; two
' values, or two written literals, of different kinds sort numbers before text.
Dim text, number, flag, r
text = "5" : number = 5 : flag = True
r = (text = 5) & " " & (number = "5") & " " & (5 = text) & " " & (text = -5) & " " & (flag = "True") & vbLf
r = r & (text = number) & " " & (5 = "5") & " " & ("10" < 9) & " " & (text < 10) & " " & (text > "10") & vbLf
text = "abc"
r = r & (text = 5) & " " & (text > 5) & vbLf
text = "5"
Select Case text
    Case 4 : r = r & "four"
    Case 5 : r = r & "five"
    Case Else : r = r & "else"
End Select
Select Case number
    Case "5" : r = r & " text five"
End Select
MsgBox r
