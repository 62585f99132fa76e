Option Explicit
' Constants, visibility, properties that take objects, case-insensitive names, comments.
Const Greeting = "hello", Answer = 42, Negative = -1.5
Public shared
Private hidden
Dim a, b, list, c, k
REM a comment line
shared = Greeting & " " & ANSWER  ' names ignore case
MsgBox Shared & " " & negative
Class Box
    Private m_content
    Public Property Set Content(value)
        Set m_content = value
    End Property
    Public Property Get Content()
        Set Content = m_content
    End Property
    Public Property Get Label()
        Label = "empty"
        If Not IsObject(m_content) Then Exit Property
        If Not m_content Is Nothing Then Label = TypeName(m_content)
    End Property
    Public Function Self()
        Set Self = Me
    End Function
End Class
Set a = New Box
MsgBox a.Label
Set a.Content = New Box
MsgBox a.Label & " " & (a.Self() Is a) & " " & (a.Content Is a)
Set b = a.Content
MsgBox b.Label
list = Array(3, 1, 2)
For k = 0 To UBound(list) : c = c & list(k) : Next
MsgBox c
MsgBox Greeting _
    & " " _
    & "continued"
Function Pick(which)
    Select Case LCase(which)
        Case "a", "b" : Pick = "first two"
        Case "c" : Pick = "third"
        Case Else : Pick = "other"
    End Select
End Function
MsgBox Pick("B") & ", " & Pick("c") & ", " & Pick("z")
On Error Resume Next
Answer = 1
MsgBox Err.Number & " " & Err.Description
