' What a host object receives: each value keeps its variant type (Host.Kind gives the type the
' host saw, as VarType numbers it), arrays arrive as arrays of variants, and Me outside a class is
' the script's global object, which a host can call back.

Const kLong = &h10&, kInteger = &h10
Dim l, i, list, fixed(2), grid(1, 1)
l = &h10& : i = &h10 : list = Array(1, "two") : ReDim growing(3)
Dim kinds
kinds = Array( _
    Host.Kind(&h10&), vbLong, "&h10&", _
    Host.Kind(&h10), vbInteger, "&h10", _
    Host.Kind(&hFFFF), vbInteger, "&hFFFF", _
    Host.Kind(&h10000), vbLong, "&h10000", _
    Host.Kind(&o20&), vbLong, "&o20&", _
    Host.Kind(32768), vbLong, "32768", _
    Host.Kind(1.5), vbDouble, "1.5", _
    Host.Kind(kLong), vbLong, "a Long constant", _
    Host.Kind(kInteger), vbInteger, "an Integer constant", _
    Host.Kind(l), vbLong, "a Long variable", _
    Host.Kind(i), vbInteger, "an Integer variable", _
    Host.Kind((l)), vbLong, "a Long in parentheses", _
    Host.Kind(-l), vbLong, "a negated Long", _
    Host.Kind(l + i), vbLong, "Long + Integer", _
    Host.Kind(CByte(3)), vbByte, "CByte", _
    Host.Kind(CCur(3)), vbCurrency, "CCur", _
    Host.Kind(True), vbBoolean, "True", _
    Host.Kind(Null), vbNull, "Null", _
    Host.Kind(Empty), vbEmpty, "Empty", _
    Host.Kind(Nothing), vbObject, "Nothing", _
    Host.Kind(list), vbArray + vbVariant, "Array()", _
    Host.Kind(fixed), vbArray + vbVariant, "Dim fixed(2)", _
    Host.Kind(grid), vbArray + vbVariant, "Dim grid(1, 1)", _
    Host.Kind(growing), vbArray + vbVariant, "ReDim growing(3)", _
    Host.Kind(Split("a b")), vbArray + vbVariant, "Split", _
    Host.Kind(list(1)), vbString, "an element", _
    Host.Kind(Host.Grid), vbArray + vbVariant, "an array of the host")
For n = 0 To UBound(kinds) Step 3
    Check kinds(n), CLng(kinds(n + 1)), "what the host receives for " & kinds(n + 2)
Next

' Me outside a class is the global object: its variables and procedures are its members.
Dim total
total = 3
Function Doubled(x)
    Doubled = x * 2
End Function
Function Both()
    Both = Array(&h10&, &h10)
End Function
Check TypeName(Me), "Object", "TypeName of Me"
Check Me.total, 3, "a variable read through Me"
Me.total = 4
Check total, 4, "a variable assigned through Me"
Check Me.Doubled(5), 10, "a function called through Me"
Sub ShowMe()
    Check Me Is GlobalObject, True, "Me in a procedure outside a class"
End Sub
Set GlobalObject = Me
ShowMe
Check Host.CallBack(Me, "Doubled", 21), 42, "a host calling a function of Me"
Check Host.Kind(Host.CallBack(Me, "Doubled", &h10&)), CLng(vbLong), "the type a host gets back"
Check Host.Kind(Host.CallBack(Me, "Both")(0)), CLng(vbLong), "an element of an array a host gets back"
Check Eval("Me") Is Me, True, "Eval of Me outside a class"

' Inside a class Me is the instance, in its own code and in what Eval and Execute run there;
' ExecuteGlobal runs as global code, where Me is the global object again.
Dim seenGlobally
Class Probe
    Private m_secret
    Public Function Look()
        m_secret = "hidden"
        Dim seen
        Check Eval("Me") Is Me, True, "Eval of Me in a class"
        Execute "Set seenByExecute = Me"
        Check seenByExecute Is Me, True, "Execute of Me in a class"
        ExecuteGlobal "Set seenGlobally = Me"
        Check seenGlobally Is GlobalObject, True, "ExecuteGlobal of Me in a class"
        Check Eval("m_secret"), "hidden", "Eval of a private member in a class"
        Look = TypeName(Me)
    End Function
End Class
Dim seenByExecute
Set probe = New Probe
Check probe.Look(), "Probe", "TypeName of Me in a class"
Check Host.CallBack(probe, "Look"), "Probe", "a host calling a method of an instance"

MsgBox "host values: " & passed & " passed, " & failed & " failed"
