On Error Resume Next
s = Space(3827259)
For i = 1 To 20
i =  s = s & s
Next
