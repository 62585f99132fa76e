' Fixed and dynamic arrays, ReDim Preserve, bounds, copies, Erase and For Each.
Dim fixed(2), grid(1, 2), dynamic()
fixed(0) = "a" : fixed(1) = "b" : fixed(2) = "c"
MsgBox UBound(fixed) & " " & LBound(fixed) & " " & Join(fixed, "-")
grid(1, 2) = 12
MsgBox UBound(grid, 1) & " " & UBound(grid, 2) & " " & grid(1, 2) & " " & IsEmpty(grid(0, 0))
ReDim dynamic(1)
dynamic(0) = 10 : dynamic(1) = 20
ReDim Preserve dynamic(3)
dynamic(3) = 40
MsgBox Join(dynamic, ",")
ReDim Preserve dynamic(0)
MsgBox UBound(dynamic) & " " & dynamic(0)
copy = fixed
copy(0) = "changed"
MsgBox fixed(0) & " " & copy(0)
Dim total
For Each item In Array(1, 2, 3, 4)
    total = total + item
Next
MsgBox total
Erase fixed
MsgBox "[" & fixed(1) & "] " & UBound(fixed)
Erase dynamic
MsgBox IsArray(dynamic)
a = Array()
MsgBox UBound(a) & " " & IsArray(a) & " " & TypeName(a) & " " & VarType(a)
parts = Split("x,y,,z", ",")
MsgBox UBound(parts) & " " & parts(3) & " " & Join(Filter(parts, "y", False), "|")
ReDim m(1, 1)
m(0, 1) = "r0c1"
ReDim Preserve m(1, 3)
MsgBox m(0, 1) & " " & UBound(m, 2)
On Error Resume Next
ReDim Preserve m(2, 3)
MsgBox Err.Number & " " & Err.Description
Err.Clear
Dim f2(1)
ReDim f2(5)
MsgBox Err.Number & " " & Err.Description
Err.Clear
x = fixed(7)
MsgBox Err.Number
Err.Clear
For i = 1 To 600
    nested = Array(nested)
Next
MsgBox "nesting " & Err.Number
