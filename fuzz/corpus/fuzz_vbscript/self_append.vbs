s = "ab"
For i = 1 To 20
 s = s & s
Next
