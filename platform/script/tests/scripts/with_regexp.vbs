' The RegExp object from scripts.
Set re = New RegExp
re.Pattern = "(\w+)@(\w+)\.com"
re.Global = True
Set found = re.Execute("ann@example.com, bob@test.com")
MsgBox found.Count & " " & TypeName(found) & " " & TypeName(found(0))
For Each m In found
    MsgBox m.FirstIndex & " " & m.Length & " " & m.Value & " " & m.SubMatches(0) & "/" & m.SubMatches(1)
Next
MsgBox re.Replace("ann@example.com", "$2:$1") & " " & re.Test("nobody") & " " & re.Test("x@y.com")
With re
    .Pattern = "^b"
    .Global = True
    .Multiline = True
    .IgnoreCase = True
    MsgBox .Replace("abc" & vbCrLf & "Bcd" & vbCrLf & "bb", "#")
End With
Set re2 = CreateObject("VBScript.RegExp")
re2.Pattern = "a(x)?b"
Set m = re2.Execute("ab")(0)
MsgBox m.Value & " " & IsEmpty(m.SubMatches(0)) & " " & m.SubMatches.Count
re2.Pattern = "(a)(x)?(b)"
For Each part In re2.Execute("ab")(0).SubMatches
    MsgBox TypeName(part) & " " & part
Next
re2.Pattern = "(["
On Error Resume Next
re2.Test "x"
MsgBox Err.Number & " " & Err.Description
