On Error Resume Next
s = Space(1000000)
For i = 1 To 20
 s = s & s
Next
